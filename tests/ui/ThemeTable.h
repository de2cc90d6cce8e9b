// The themes the program carries, read from its own table: what the tests check the program
// against instead of a copy of the names.
#pragma once

#include <QColor>
#include <QFile>
#include <QString>
#include <QStringList>

#include <vector>

struct TThemeLine {
    QString Name;
    QColor Window;
    QColor Text;
};

// Every theme line of the carried table, in its order; empty when the table cannot be read.
inline std::vector<TThemeLine> CarriedThemes() {
    QFile table(QStringLiteral(":/themes/themes.txt"));
    std::vector<TThemeLine> themes;
    if (!table.open(QIODevice::ReadOnly))
        return themes;
    for (const QString& line : QString::fromUtf8(table.readAll()).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u';'))
            continue;
        const QStringList fields = line.split(u'|');
        themes.push_back(
            {fields.value(0).trimmed(), QColor(fields.value(1).trimmed()), QColor(fields.value(2).trimmed())});
    }
    return themes;
}
