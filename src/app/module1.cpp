#include "app/module1.h"

namespace Module1 {

void ResetGlobals() {
    BaudRate = 9600;
    ComPort = 1;
    Indirizzo = 0;
    Corrente = Risoluzione = Fmin = Fmax = Rampa = 0;
    QuotaRel = QuotaAbs = 0;
    Lingua = 2;
    TitoloApp = "VarDelo 2.9";
    TriggerOk = 0;
    TriggerMask = 0;
    ZFlyQuota = 0;
    TriggerTitle.clear();
    CurrentRedOk = 0;
    CurrentRedValue = 0;
    SpotOk = 0;
    SpotMin = 0;
    SpotMax = 0;
}

} // namespace Module1
