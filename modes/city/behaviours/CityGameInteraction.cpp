#include "modes/city/behaviours/CityGameInteraction.h"

#include "modes/city/objects/CityGameObject.h"

void cCityGameInteraction::End() {
  if (auto* target = dynamic_cast<cCityGameInteractableObject*>(TargetOfWord(GetTarget()))) target->RemoveUser(this);
}
