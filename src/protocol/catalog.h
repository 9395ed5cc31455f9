#pragma once
// The command catalog: every drive command with its code, byte counts, limits, value kind and
// texts in three languages. Built once by InitComandi, read-only afterwards. The slot index is
// also the position of the command in the command lists.
#include <cstdint>
#include <string>
#include <vector>

namespace Module1 {

constexpr int CatalogSlots = 81;

inline std::string DescrCmdIta[CatalogSlots];
inline std::string DescrCmdEng[CatalogSlots];
inline std::string DescrCmdGer[CatalogSlots];
inline std::string NoteCmdIta[CatalogSlots];
inline std::string NoteCmdEng[CatalogSlots];
inline std::string NoteCmdGer[CatalogSlots];
inline int16_t CodiceCmd[CatalogSlots];
inline int16_t NtxCmd[CatalogSlots];
inline int16_t NrxCmd[CatalogSlots];
inline int32_t MinCmd[CatalogSlots];
inline int32_t MaxCmd[CatalogSlots];
inline int16_t TipoCmd[CatalogSlots];

void InitComandi();
// Lowest slot whose code equals `code`, or -1 when no slot holds it.
int TrovaComando(int code);

} // namespace Module1

// The command list lines for a language code (one per slot up to the end marker; none for a
// code other than 1, 2, 3). List position equals slot.
std::vector<std::string> CommandListLines(int lingua);
// A slot's description / hint in a language code (empty for other codes).
std::string CommandDescription(int slot, int lingua);
std::string CommandHint(int slot, int lingua);
