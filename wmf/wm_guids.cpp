// Instantiates the Windows Media interface identifiers.
#define WMF_DEFINE_GUIDS
#include "wm_interfaces.h"
