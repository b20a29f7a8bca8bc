#pragma once
// The whole class-library layer in one include.
#include "framework/AfxDefs.h"
#include "framework/String.h"
#include "framework/Collections.h"
#include "framework/Geometry.h"
#include "framework/MessageMap.h"
#include "framework/Wnd.h"
