#pragma once
// Catalog slots of known shape, written straight into the tables so the tests do not depend on
// the catalog's content.
#include "catalog/catalog.h"

#include <string>

inline void PutSlot(int slot, int code, int ntx, int32_t min, int32_t max, int tipo, const std::string& hint,
                    const std::string& descr = {}) {
    using namespace Module1;
    CodiceCmd[slot] = static_cast<int16_t>(code);
    NtxCmd[slot] = static_cast<int16_t>(ntx);
    NrxCmd[slot] = 1;
    MinCmd[slot] = min;
    MaxCmd[slot] = max;
    TipoCmd[slot] = static_cast<int16_t>(tipo);
    NoteCmdIta[slot] = hint.empty() ? "" : "ita " + hint;
    NoteCmdEng[slot] = hint.empty() ? "" : "eng " + hint;
    NoteCmdGer[slot] = hint.empty() ? "" : "ger " + hint;
    DescrCmdIta[slot] = descr.empty() ? "" : descr + " (it)";
    DescrCmdEng[slot] = descr.empty() ? "" : descr + " (en)";
    DescrCmdGer[slot] = descr.empty() ? "" : descr + " (de)";
}

inline void ClearSlots() {
    for (int s = 0; s < Module1::CatalogSlots; ++s)
        PutSlot(s, 0, 0, 0, 0, 0, "");
}
