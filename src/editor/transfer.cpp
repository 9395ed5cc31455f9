// Placeholder until the program transfer lands.
#include "editor/transfer.h"

void TxRxCMDEEPROM(int, const std::string&, std::string&, double) {}
void ReadAllPrg(PrgStore&, TransferIo&) {}
void SendAllPrg(PrgStore&, TransferIo&) {}
void SendCurrentPrg(PrgStore&, int, TransferIo&) {}
void SendPrg(PrgStore&, int, TransferIo&) {}
void DeletePrg(TransferIo&) {}
void DeleteAllPrg(TransferIo&) {}
void CopyPrg(PrgStore&, TransferIo&) {}
