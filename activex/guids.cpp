// Defines the identities the IDL declares, once for the whole module.
#include <initguid.h>

#include "Rawlet_h.h"
