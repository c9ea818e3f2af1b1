// A window unit that reaches up into the forms: the folder-order check must name it.
#pragma once

#include "platform/forms/Forms.h"
#include "platform/graphics/Graphics.h"
