// The program's resources: dialog template 102 with its controls, menu 129,
// and the numbers of controls and commands (app/ResourceIds.h).
#pragma once

#include "app/ResourceIds.h"
#include "platform/Dialog.h"

const DialogTemplate& SfxDialogTemplate();
const MenuTemplate& SfxMenu();
