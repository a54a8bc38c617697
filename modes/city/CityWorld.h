// What the city's objects, cursors and behaviours reach of the running city
// mode, without the mode's header: the player's city, the cursor controller
// and the shared drag cursor. (The registry has its own header.)
#pragma once

class cCityGameCity;
class cCityGameCursorController;
class cCityGameDragCursor;

cCityGameCity* GetPlayerCity();  // null before the city is founded and after a load
cCityGameCursorController& GetCityCursorController();  // built on first use
cCityGameDragCursor& GetCityDragCursor();              // built on first use
