// Compiled only by the exports check (clang, MSVC target): refers to every
// prototype so that the assembly names each decorated symbol.

#include "decorated_prototypes.h"

extern void* const kDecoratedEntryPoints[] = {
    reinterpret_cast<void*>(&AddData0),       reinterpret_cast<void*>(&RemoveData0),
    reinterpret_cast<void*>(&ResetStats0),    reinterpret_cast<void*>(&CheckCallFunc0),
    reinterpret_cast<void*>(&StatsIsValidExchg0),
    reinterpret_cast<void*>(&StatsGetExchgCount0),
    reinterpret_cast<void*>(&GetNumberOfSets), reinterpret_cast<void*>(&GetSetName),
    reinterpret_cast<void*>(&GetResult0),     reinterpret_cast<void*>(&SetupSet0),
    reinterpret_cast<void*>(&setVersion),
};
