// The command catalog. The table below is the whole vocabulary of drive commands, one row per
// slot in slot order; the row position is also the command's position in the command lists, so
// blank rows stay in place to keep the groups apart.
#include "protocol/catalog.h"

#include <iterator>
#include <string_view>

namespace {

struct Entry {
    int16_t code = 0;
    int16_t ntx = 0;
    int16_t nrx = 0;
    int32_t min = 0;
    int32_t max = 0;
    int16_t tipo = 0;
    const char* ita = "";
    const char* eng = "";
    const char* ger = "";
    const char* noteIta = "";
    const char* noteEng = "";
    const char* noteGer = "";
};

// clang-format off
// code, NtxCmd, NrxCmd, MinCmd, MaxCmd, TipoCmd, description Ita/Eng/Ger, hint Ita/Eng/Ger
constexpr Entry Table[] = {
    /*  0 */ {1, 1, 1, 0, 0, 0, "Reset (non usare con prg.EEPROM)", "Reset (Don't use in EEPROM prg.)", "Reset (Don't use in EEPROM prg.)", "", "", ""},
    /*  1 */ {238, 2, 1, 0, 2, 0, "Impostazione modalità low noise (non usare con prg.EEPROM)", "Set low noise mode (Don't use in EEPROM prg.)", "Leiser Lauf Einstellung (Don't use in EEPROM prg.)", "0=Low noise OFF        2=Low noise ON", "0=Low noise OFF        2=Low noise ON", "0=AUS                  2=EIN"},
    /*  2 */ {168, 3, 1, 0, 12000, 0, "Impostazione corrente", "Current", "Strom", "[mA]", "[mA]", "[mA]"},
    /*  3 */ {39, 2, 1, 0, 255, 5, "Impostazione riduzione di corrente a motore fermo", "Reduction mode", "Stillstandsstromabsenkung auf", "", "", ""},
    /*  4 */ {},
    /*  5 */ {32, 3, 1, 1, 5000, 0, "Impostazione frequenza minima", "Minimum frequency", "Min. Frequenz", "[Hz]", "[Hz]", "[Hz]"},
    /*  6 */ {33, 3, 1, 1, 20000, 0, "Impostazione frequenza massima", "Maximum frequency", "Max. Frequenz (Dauerlauf)", "[Hz]", "[Hz]", "[Hz]"},
    /*  7 */ {34, 2, 1, 0, 255, 0, "Impostazione rampa", "Ramp", "Eingabe Beschleunigungszeit", "[centesimi di secondo]", "[cs]", "[cs]"},
    /*  8 */ {38, 2, 1, 0, 4, 0, "Impostazione risoluzione", "Step resolution", "Motorschrittaufloesung", "0=passo intero     1=1/2 passo       2=1/4 di passo\r\n3=1/8 di passo     4=1/16 di passo", "0=full step           1=half step       2=1/4 of step \r\n3=1/8 of step      4=1/16 of step ", "0=full step           1=half step       2=1/4 of step \r\n3=1/8 of step      4=1/16 of step "},
    /*  9 */ {},
    /* 10 */ {189, 3, 1, 1, 20000, 0, "Impostazione frequenza con motore in rotazione", "Maximum frequency when motor is running", "Max. Frequenz (motor running)", "[Hz]", "[Hz]", "[Hz]"},
    /* 11 */ {173, 2, 1, 0, 255, 0, "Cambio velocità in percentuale", "Change speed % ", "Drehzahlaenderung in %", "", "", ""},
    /* 12 */ {},
    /* 13 */ {50, 2, 1, 0, 255, 0, "Movimento infinito", "Infinite motion", "Dauerlauf", "0=Senso orario    255=Senso antiorario", "0=CW    255=CCW", "0=Uhrzeiger    255=Gegenuhrzeiger"},
    /* 14 */ {49, 5, 1, -2000000000, 2000000000, 0, "Posizionamento relativo", "Relative positioning", "Eingabe relativer Weg", "[1/128 di passo]", "[1/128 of step]", "[1/128 Schritte]"},
    /* 15 */ {48, 5, 1, -2000000000, 2000000000, 0, "Posizionamento assoluto", "Absolute positioning", "Eingabe absoluter Weg", "[1/128 di passo]", "[1/128 of step]", "[1/128 Schritte]"},
    /* 16 */ {},
    /* 17 */ {166, 1, 1, -2000000000, 2000000000, 0, "Movimento alla quota di zero", "Go to home position", "Referenzfahrt", "", "", ""},
    /* 18 */ {2, 1, 1, 0, 0, 0, "Start software (esegue la quota caricata)", "Start software (exec loaded quote)", "Start software (exec loaded quote)", "", "", ""},
    /* 19 */ {17, 1, 1, 0, 0, 0, "Stop rotazione", "Stop rotation", "Stop", "", "", ""},
    /* 20 */ {},
    /* 21 */ {170, 5, 1, -2000000000, 2000000000, 0, "Impostazione quota relativa senza esecuzione", "Relative positioning no exec", "Eingabe relativer Weg ohne Ausfuhrung", "[1/128 di passo]", "[1/128 of step]", "[1/128 Schritte]"},
    /* 22 */ {182, 5, 1, -2000000000, 2000000000, 0, "Impostazione quota assoluta senza esecuzione", "Absolute positioning no exec", "Absolute positioning no exec", "[1/128 di passo]", "[1/128 of step]", "[1/128 Schritte]"},
    /* 23 */ {174, 5, 1, -2000000000, 2000000000, 0, "Impostazione posizione assoluta", "Set absolute position", "Eingabe absolute Position", "[1/128 di passo]", "[1/128 of step]", "[1/128 Schritte]"},
    /* 24 */ {35, 5, 1, -2000000000, 2000000000, 0, "Impostazione posizione di home", "Set Home position", "Nullpunkt einstellen auf (25600 = 1 Umdr.)", "[1/128 di passo]", "[1/128 of step]", "[1/128 Schritte]"},
    /* 25 */ {},
    /* 26 */ {18, 1, 8, 0, 0, 0, "Lettura posizione attuale", "Reading present position", "Anzeige der aktuellen Position", "", "", ""},
    /* 27 */ {19, 1, 5, 0, 0, 0, "Lettura ingressi/uscite", "I/O status", "Status I/O", "", "", ""},
    /* 28 */ {},
    /* 29 */ {41, 2, 1, 0, 0, 2, "Start trigger", "START TRIGGER inputs setting", "Einstellung START TRIGGER Eingang", "", "", ""},
    /* 30 */ {42, 2, 1, 0, 0, 2, "Stop trigger", "STOP TRIGGER inputs setting", "Sonderkondition STOP TRIGGER Eingang", "", "", ""},
    /* 31 */ {177, 2, 1, 0, 0, 2, "Stop trigger (modalità OR)", "STOP TRIGGER inputs setting (OR function)", "Sonderkondition STOP Eingange mit or- Verknupfung", "", "", ""},
    /* 32 */ {44, 2, 1, 0, 0, 2, "Home trigger", "HOME TRIGGER inputs setting", "Einstellung HOME TRIGGER Eingang", "", "", ""},
    /* 33 */ {160, 6, 1, 0, 0, 3, "Zero al volo", "ZERO AT FLIGHT inputs setting", "Eingabe des Vefahrwegs ab Erkennung der Druckmarke", "", "", ""},
    /* 34 */ {175, 2, 1, 0, 0, 2, "Azzeramento", "AXIS ZEROING input setting", "Einstellung Referenzfahrt Eingang", "", "", ""},
    /* 35 */ {176, 2, 1, 0, 0, 2, "Extracorsa", "EXTRA-SWITCH input setting", "Auswahl der Endschalter (bis 2 Stueck)", "", "", ""},
    /* 36 */ {},
    /* 37 */ {171, 1, 5, 0, 0, 0, "Stato azionamento", "Drive status", "Endstufen Status", "", "", ""},
    /* 38 */ {172, 1, 1, 0, 0, 0, "Stato azionamento (1 byte)", "Drive status (1 byte)", "Endstufen Status (1 Byte)", "", "", ""},
    /* 39 */ {},
    /* 40 */ {40, 2, 1, 0, 255, 0, "Impostazione ritardo risposta seriale", "Serial delay", "Eingabe Zeitverz gerung", "[µs x 512]", "[µs x 512]", "[µs x 512]"},
    /* 41 */ {43, 2, 1, 0, 255, 0, "Livello uscita 'IN POSITION'", "'IN POSITION' Output level", "Wahlen Sie Ausgangsmeldung 'IN POSITION'", "0=Livello basso      - 255=Livello alto", "0=Low level          - 255=High level", "0=Low level          - 255=High level"},
    /* 42 */ {20, 1, 5, 0, 0, 0, "Richiesta tipo di azionamento", "Pcb type", "Auswahl Endstufentyp", "", "", ""},
    /* 43 */ {16, 1, 5, 0, 0, 0, "Versione software", "Software release", "Software Version", "", "", ""},
    /* 44 */ {},
    /* 45 */ {199, 3, 1, 0, 65535, 0, "Rapporto di conversione encoder (solo per KMD/M10)", "Encoder/Motor rate (only for KMD/M10)", "Encoder/Motor rate (only for KMD/M10)", "FMotore=(FEncoder*RapportoConversione)/1000", "FMotor=(FEncoder*Rate)/1000", "FMotor=(FEncoder*Rate)/1000"},
    /* 46 */ {203, 2, 1, 0, 255, 0, "Modalità encoder (solo per KMD/M10)", "Encoder mode (only for KMD/M10)", "Encoder mode (only for KMD/M10)", "0=legge a motore fermo, 1=legge a motore fermo e in crociera, 2=legge a motore fermo, in crociera, START/STOP motore con encoder ", "0=legge a motore fermo, 1=legge a motore fermo e in crociera, 2=legge a motore fermo, in crociera, START/STOP motore con encoder ", "0=legge a motore fermo, 1=legge a motore fermo e in crociera, 2=legge a motore fermo, in crociera, START/STOP motore con encoder "},
    /* 47 */ {200, 3, 1, 0, 65535, 0, "Rampa di accelerazione in passi (solo per KMD-M10)", "Number of steps for acceleration ramp (only for KMD-M10)", "Number of steps for acceleration ramp (only for KMD-M10)", "[1/128 di passo]", "[1/128 of step]", "[1/128 Schritte]"},
    /* 48 */ {192, 2, 1, 0, 255, 0, "Trigger abilitati sempre (solo per KMD/M10)", "Trigger forever enable (only for KMD/M10)", "Trigger forever enable (only for KMD/M10)", "0=disabilita, 1=abilita, FE,FF=abilita con rottura.carta", "0=disable, 1=enable, FE,FF=enable paper break", "0=disable, 1=enable, FE,FF=enable paper break"},
    /* 49 */ {193, 2, 1, 0, 255, 0, "Impostazione modalità byte di stato (solo per KMD/M10)", "Set status byte mode (only for KMD/M10)", "Set status byte mode (only for KMD/M10)", "0=disabilita, 1=visual. 'p', FF=visual. 'p' e tx seriale", "0=disable, 1=display 'p', FF=display 'p' + serial tx", "0=disable, 1=display 'p', FF=display 'p' + serial tx"},
    /* 50 */ {194, 2, 1, 0, 255, 0, "Tempo di stampa (solo per KMD/M10)", "Print time (only for KMD/M10)", "Print time (only for KMD/M10)", "[centesimi di secondo]", "[cs]", "[cs]"},
    /* 51 */ {},
    /* 52 */ {0, 0, 0, 0, 0, 0, "COMANDI SPECIALI PER KMD CON EEPROM:", "SPECIAL COMMANDS FOR KMD WITH EEPROM:", "SPECIAL COMMANDS FOR KMD WITH EEPROM:", "", "", ""},
    /* 53 */ {244, 2, 1, 0, 255, 0, "Pausa", "Pause", "Pause", "Tempo [1/10 di secondo]", "Time [1/10 of second]", "Time [1/10 of second]"},
    /* 54 */ {245, 1, 1, 0, 0, 0, "Ripeti programma", "Repeat program", "Satz wied", "[1/10 di secondo]", "[1/10 of second]", "[1/10 of second]"},
    /* 55 */ {},
    /* 56 */ {212, 2, 1, 0, 0, 2, "Trigger sospensione prg.(solo per KMD/M20)", "pause program trigger (only for KMD/M20)", "PAUSE PROGRAM TRIGGER Eingang (only for KMD/M20)", "", "", ""},
    /* 57 */ {202, 2, 1, 0, 255, 0, "Set uscite (solo per KMD/M20)", "Outputs set (only for KMD/M20)", "Outputs set (only for KMD/M20)", "0-uscite standard, &h10-reset OUT1, &h11-set OUT1, &h20-reset OUT2, &h21-set OUT2", "0-standard outputs, &h10-reset OUT1, &h11-set OUT1, &h20-reset OUT2, &h21-set OUT2", "0-standard outputs, &h10-reset OUT1, &h11-set OUT1, &h20-reset OUT2, &h21-set OUT2"},
    /* 58 */ {181, 2, 1, 0, 255, 0, "Set OUT1 -> USCITA PASSI (solo per KMD/M20)", "Set OUT1 -> STEP OUT (only for KMD/M20)", "Set OUT1 -> STEP OUT (only for KMD/M20)", "0-disabilita questa funzione, 255-abilita questa funzione", "0-disable this function, 255-enable this function", "0-disable this function, 255-enable this function"},
    /* 59 */ {246, 2, 1, 0, 255, 0, "Set OUT1 -> PROGRAMMA ESEGUITO (solo per KMD/M20)", "Set OUT1 -> END OF PROGRAM (only for KMD/M20)", "Set OUT1 -> END OF PROGRAM (only for KMD/M20)", "0-disabilita questa funzione, 255-abilita questa funzione", "0-disable this function, 255-enable this function", "0-disable this function, 255-enable this function"},
    /* 60 */ {197, 3, 1, 0, 65535, 0, "Lunghezza minima tacca (solo per KMD/M20)", "Min. spot lenght (only for KMD/M20)", "Min. spot lenght (only for KMD/M20)", "Lunghezza minima per rilevazione tacca [1/128 di passo]", "[1/128 of step]", "[1/128 Schritte]"},
    /* 61 */ {198, 3, 1, 0, 65535, 4, "Livelli tacca MIN,MAX (solo per KMD/M20)", "Spot levels MIN,MAX (only for KMD/M20)", "Spot levels MIN,MAX (only for KMD/M20)", "Livello di tensione minima e massima [decimi di Volts]", "[1/10 Volts]", "[1/10 Volts]"},
    /* 62 */ {},
    /* 63 */ {237, 2, 1, 0, 255, 0, "Tipo strobe (solo per KMD/M20)", "Strobe type (only for KMD/M20)", "Strobe type (only for KMD/M20)", "Livelli strobe: 0-livello alto, 1-fronte basso-alto, 2-fronte alto-basso", "Strobe levels: 0-high level, 1-low-high front, 2-high-low front", "Strobe levels: 0-high level, 1-low-high front, 2-high-low front"},
    /* 64 */ {209, 2, 1, 0, 255, 0, "Lettura ritardata ingressi BCD (solo per KMD/M20)", "Read delay BCD inputs (only for KMD/M20)", "Read delay BCD inputs (only for KMD/M20)", "", "", ""},
    /* 65 */ {206, 2, 1, 0, 255, 0, "Modalità di esecuzione programma (solo per KMD/M20)", "Program exec mode (only for KMD/M20)", "Program exec mode (only for KMD/M20)", "0-standard (aspetta fine posizionamento), 1-esecuzione continua", "0-standard (wait end pos), 1-continuos exec", "0-standard (wait end pos), 1-continuos exec"},
    /* 66 */ {207, 2, 1, 0, 255, 0, "Aspetta condizione (solo per KMD/M20)", "Wait condition (only for KMD/M20)", "Wait condition (only for KMD/M20)", "0-nessuna condizione 1-aspetta fine posizionamento", "0-none 1-wait end of positioning", "0-none 1-wait end of positioning"},
    /* 67 */ {204, 2, 1, 0, 0, 2, "Aspetta ingresso (solo per KMD/M20)", "Wait input (only for KMD/M20)", "Wait input (only for KMD/M20)", "", "", ""},
    /* 68 */ {201, 5, 1, 0, 2000000000, 0, "Aspetta n passi (solo per KMD/M20)", "Wait n steps (only for KMD/M20)", "Wait n steps (only for KMD/M20)", "[1/128 di passo]", "[1/128 of step]", "[1/128 Schritte]"},
    /* 69 */ {},
    /* 70 */ {210, 1, 6, 0, 0, 0, "Lettura ingresso analogico (solo per KMD/L30)", "Read analog in (only for KMD/L30)", "Read analog in (only for KMD/L30)", "", "", ""},
    /* 71 */ {211, 5, 1, -2000000000, 2000000000, 0, "Imposta registro ABSPOS (solo per KMD/L30)", "Set ABSPOS register (only for KMD/L30)", "Set ABSPOS register (only for KMD/L30)", "", "", ""},
    /* 72 */ {},
    /* 73 */ {213, 3, 1, 0, 5000, 0, "Impostazione frequenza bassa in manuale (solo per KMD/L50)", "Manual low requency (only for KMD/L50)", "Manual low requency (only for KMD/L50)", "[Hz]\r\n\r\n0 - disattiva comandi manuali", "[Hz]\r\n\r\n0 - disable manual command", "[Hz]\r\n\r\n0 - disable manual command"},
    /* 74 */ {214, 3, 1, 0, 20000, 0, "Impostazione frequenza alta in manuale (solo per KMD/L50)", "Manual high requency (only for KMD/L50)", "Manual high requency (only for KMD/L50)", "[Hz]\r\n\r\n0 - disattiva comandi manuali", "[Hz]\r\n\r\n0 - disable manual command", "[Hz]\r\n\r\n0 - disable manual command"},
    /* 75 */ {215, 3, 1, 0, 5000, 0, "Genera passo ogni n passi encoder (solo per KMD/L50)", "Step generated every n enc. steps (only for KMD/L50)", "Step generated every n enc. steps (only for KMD/L50)", "[passi]\r\n\r\n0 - disattiva encoder", "[steps]\r\n\r\n0 - disable encoder", "[steps]\r\n\r\n0 - disable ebcoder"},
    /* 76 */ {},
    /* 77 */ {255, 2, 1, 0, 255, 0, "Attivazione debug seriale", "Serial debug activation", "Serial debug activation", "255 - Attiva echo su seriale non utilizzata, 0 - Disattiva", "255 - Enable serial echo on other serial, 0 - Disable", "255 - Enable serial echo on other serial, 0 - Disable"},
};
// clang-format on

// Slots 0..77 from the table, the end marker in 78; 79 and 80 are never written.
static_assert(std::size(Table) == 78);

// The end marker closes the lists; only its Italian text and its numbers are ever written.
constexpr std::string_view EndMarker = "XX";

bool IsEndMarker(const std::string& descrIta) {
    return std::string_view(descrIta).substr(0, EndMarker.size()) == EndMarker;
}

bool ValidSlot(int slot) {
    return slot >= 0 && slot < Module1::CatalogSlots;
}

} // namespace

namespace Module1 {

void InitComandi() {
    int slot = 0;
    for (const Entry& e : Table) {
        DescrCmdIta[slot] = e.ita;
        DescrCmdEng[slot] = e.eng;
        DescrCmdGer[slot] = e.ger;
        NoteCmdIta[slot] = e.noteIta;
        NoteCmdEng[slot] = e.noteEng;
        NoteCmdGer[slot] = e.noteGer;
        CodiceCmd[slot] = e.code;
        NtxCmd[slot] = e.ntx;
        NrxCmd[slot] = e.nrx;
        MinCmd[slot] = e.min;
        MaxCmd[slot] = e.max;
        TipoCmd[slot] = e.tipo;
        ++slot;
    }
    DescrCmdIta[slot] = std::string(EndMarker);
    CodiceCmd[slot] = 0;
    NtxCmd[slot] = 0;
    NrxCmd[slot] = 0;
    MinCmd[slot] = 0;
    MaxCmd[slot] = 0;
    TipoCmd[slot] = 0;
}

int TrovaComando(int code) {
    for (int i = 0; i < CatalogSlots; ++i)
        if (CodiceCmd[i] == code) return i;
    return -1;
}

} // namespace Module1

std::string CommandDescription(int slot, int lingua) {
    if (!ValidSlot(slot)) return {};
    switch (lingua) {
    case 1:
        return Module1::DescrCmdIta[slot];
    case 2:
        return Module1::DescrCmdEng[slot];
    case 3:
        return Module1::DescrCmdGer[slot];
    default:
        return {};
    }
}

std::string CommandHint(int slot, int lingua) {
    if (!ValidSlot(slot)) return {};
    switch (lingua) {
    case 1:
        return Module1::NoteCmdIta[slot];
    case 2:
        return Module1::NoteCmdEng[slot];
    case 3:
        return Module1::NoteCmdGer[slot];
    default:
        return {};
    }
}

std::vector<std::string> CommandListLines(int lingua) {
    std::vector<std::string> lines;
    if (lingua < 1 || lingua > 3) return lines;
    for (int slot = 0; slot < Module1::CatalogSlots; ++slot) {
        // The end marker is found by its Italian text whatever the language.
        if (IsEndMarker(Module1::DescrCmdIta[slot])) break;
        std::string line = CommandDescription(slot, lingua);
        if (IsEndMarker(line)) continue;
        lines.push_back(std::move(line));
    }
    return lines;
}
