#pragma once
// The program's shared state: one copy for every window.
#include <cstdint>
#include <string>

namespace Module1 {

// Booleans are 16-bit integers: 0 false, -1 true.
constexpr int16_t VbTrue = -1;
constexpr int16_t VbFalse = 0;
constexpr int16_t BroadcastAddress = 99; // the address no drive answers (every drive listens)

inline int16_t Indirizzo = 0; // drive address 0..31, or 99 for "switchall"
inline int16_t Lingua = 2;    // 1 Italian, 2 English, 3 German
inline int16_t ComPort = 1;
inline int16_t BaudRate = 9600;
inline std::string TitoloApp = "VarDelo 2.9";

// Motion parameters of the initialisation sequence and the positioning targets.
inline double Corrente = 0, Risoluzione = 0, Fmin = 0, Fmax = 0, Rampa = 0;
inline double QuotaRel = 0, QuotaAbs = 0;

// Results of the parameter dialogs.
inline int16_t TriggerOk = 0;
inline double TriggerMask = 0;
inline double ZFlyQuota = 0;
inline std::string TriggerTitle;
inline int16_t CurrentRedOk = 0;
inline int16_t CurrentRedValue = 0;
inline int16_t SpotOk = 0;
inline double SpotMin = 0;
inline int16_t SpotMax = 0;

// Puts every global back to its start value (the main window's load step 1).
void ResetGlobals();

} // namespace Module1
