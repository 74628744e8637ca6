#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

// English words that have no place in a Portuguese or Spanish sentence, found in
// a box's text outside its coloured parameters (#...|), which carry paths and
// names as they are.
inline QStringList englishWordsIn(const QString &text)
{
    static const QRegularExpression parameter(QStringLiteral("#[^|]*\\|"));
    static const QRegularExpression words(
        QStringLiteral(
            "\\b(the|cannot|could|not|is|was|of|and|folder|file|denied|such|failed|unable|directory|"
            "permission|exist|exists|found|space|device|read-only|busy|locked|database|start)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    QString plain = text;
    plain.remove(parameter);
    QStringList found;
    for (auto it = words.globalMatch(plain); it.hasNext();)
        found << it.next().captured(1);
    return found;
}
