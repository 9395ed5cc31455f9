// Placeholder until the full table lands.
#include "catalog/catalog.h"

namespace Module1 {
void InitComandi() {}
int TrovaComando(int code) {
    for (int i = 0; i < CatalogSlots; ++i)
        if (CodiceCmd[i] == code) return i;
    return -1;
}
} // namespace Module1

std::vector<std::string> CommandListLines(int) { return {}; }
std::string CommandDescription(int, int) { return {}; }
std::string CommandHint(int, int) { return {}; }
