// Everything of the ABI shared between the ZEVO host, the plug-in and the
// TARSK engine (C++20). The C-compatible subset is platform.h, identity.h,
// plugin_interface.h, organizer.h, records.h, data_handle.h and host_blocks.h.
#ifndef ZEVO_ABI_H
#define ZEVO_ABI_H

#include "zevo/platform.h"
#include "zevo/data_handle.h"
#include "zevo/result.h"
#include "zevo/identity.h"
#include "zevo/plugin_interface.h"
#include "zevo/organizer.h"
#include "zevo/records.h"
#include "zevo/host_blocks.h"
#include "zevo/engine_api.h"

#endif  // ZEVO_ABI_H
