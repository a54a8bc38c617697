// The game's own X connection (freeglut's), looked at from the waits outside
// the frame loop: a question on the terminal, a desktop dialog. Free of X
// types, so the console's code, which has no business with X, can look too.
#pragma once

// The connection's descriptor; -1 before the game's first window, and in a
// child forked since (the connection is the parent's).
int GameDisplayDescriptor();

// Reads what the server sent, if anything (events stay queued for freeglut): a
// connection that was lost (the server ended, or the game's client was killed,
// as xkill does) ends the game here, through its exit sequence, as it would in
// the frame loop. Does nothing without a connection, and never waits.
void EndTheGameIfItsDisplayIsLost();

// From the exit sequence on, the game's windows go as the game ends (freeglut
// destroys them at exit): a window's end no longer ends the game again.
void StopWatchingTheGamesWindows();
