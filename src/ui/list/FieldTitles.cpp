#include "ui/list/FieldTitles.h"

#include <cstring>

#include "model/Equipment.h"

namespace kestrel::ui {

QString FieldTitle(int field) {
    const char* name = fieldName(field);
    if (std::strncmp(name, "Unk", 3) == 0 && std::strlen(name) == 4)
        return QStringLiteral("Unknown") + QLatin1Char(name[3]);
    switch (static_cast<Field>(field)) {
        case Field::EqCode:
            return QStringLiteral("Equipment Code");
        case Field::EqName:
            return QStringLiteral("Equipment Name");
        case Field::EqClass:
            return QStringLiteral("Equipment Class");
        case Field::MovementMode:
            return QStringLiteral("Movement Method");
        default:
            break;
    }
    // The property names are the words run together: SoftAttack.
    QString title;
    for (const char* c = name; *c; ++c) {
        if (c != name && *c >= 'A' && *c <= 'Z')
            title += QLatin1Char(' ');
        title += QLatin1Char(*c);
    }
    return title;
}

}  // namespace kestrel::ui
