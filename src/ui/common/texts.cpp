#include "ui/common/texts.h"

#include "app/module1.h"

std::optional<QString> ForLanguage(const Text3& text) {
    switch (Module1::Lingua) {
    case 1:
        return QString::fromUtf8(text.ita);
    case 2:
        return QString::fromUtf8(text.eng);
    case 3:
        return QString::fromUtf8(text.ger);
    default:
        return std::nullopt;
    }
}

QString ErrorTitle() {
    return ForLanguage({"VarDelo - ERRORE", "VarDelo - ERROR", "Vardelo - ERROR"})
        .value_or("VarDelo - ERROR");
}
