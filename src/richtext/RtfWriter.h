#pragma once
// The RTF writer: a QTextDocument as standard RTF 1 with a font table and a
// colour table, in Windows-1252 with \u escapes for everything else.

#include <QByteArray>

class QTextDocument;

namespace rtf {

QByteArray Write(const QTextDocument &document);

}  // namespace rtf
