#pragma once
// Every control of the screens, for one include.

#include "platform/ui/Buttons.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Containers.h"
#include "platform/ui/Control.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/NumberBox.h"
#include "platform/ui/TextControls.h"
