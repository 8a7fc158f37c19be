// A static control.
#pragma once

#include "CWnd.h"

class CStatic : public CWnd
{
};
