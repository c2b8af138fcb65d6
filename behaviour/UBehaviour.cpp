#include "behaviour/UBehaviour.h"
#include <vector>
#include "behaviour/REventAnimationEnd.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventDestroy.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventKeyHeld.h"
#include "behaviour/REventOutside.h"
#include "behaviour/REventTimer.h"
#include "behaviour/REventTouch.h"
#include "behaviour/UAction.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UText.h"

namespace lvk {

void RegisterKinds() {
  // Kind by kind, so a second call, or one after a test registered some of
  // them itself, adds only what is missing.
  for (const TEventKind* Kind : {&TEventCreate::ClassKind(), &TEventDestroy::ClassKind(), &TEventKey::ClassKind(),
                                 &TEventTouch::ClassKind(), &TEventCollision::ClassKind(),
                                 &TEventOutside::ClassKind(), &TEventKeyHeld::ClassKind(),
                                 &TEventTimer::ClassKind(), &TEventAnimationEnd::ClassKind()})
    if (!FindEventKind(Kind->StreamKey())) RegisterEventKind(*Kind);
  // The order of the Add menu: motion first, then the rules, then the guards.
  for (const TActionKind* Kind :
       {&TActionSetSpeedSize::ClassKind(), &TActionSetSpeedDir::ClassKind(), &TActionDestroy::ClassKind(),
        &TActionNextLevel::ClassKind(), &TActionSetVariable::ClassKind(), &TActionShowText::ClassKind(),
        &TActionSpawn::ClassKind(), &TActionGoToLevel::ClassKind(), &TActionRestartGame::ClassKind(),
        &TActionBounce::ClassKind(), &TActionSetTile::ClassKind(), &TActionMoveToward::ClassKind(),
        &TActionIfVariable::ClassKind(), &TActionIfCount::ClassKind(), &TActionIfChance::ClassKind(),
        &TActionIfKeyHeld::ClassKind(), &TActionPlaySound::ClassKind(), &TActionClearText::ClassKind(),
        &TActionJumpTo::ClassKind(), &TActionJumpToStart::ClassKind(), &TActionOtherwise::ClassKind(),
        &TActionCameraFollow::ClassKind(), &TActionMoveCamera::ClassKind(), &TActionShakeCamera::ClassKind(),
        &TActionSetAnimation::ClassKind(), &TActionMirror::ClassKind()})
    if (!FindActionKind(Kind->StreamKey())) RegisterActionKind(*Kind);
}

void UnregisterKinds() { ClearKindRegistries(); }

}  // namespace lvk
