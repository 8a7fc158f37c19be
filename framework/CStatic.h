// A static control.
#pragma once

#include "framework/CWnd.h"

class CStatic : public CWnd
{
};
