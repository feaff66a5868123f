#pragma once
// Reading the files given to qmtool: the same words for the same problem in
// every command, and a cap on the size read.

#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace inputfile {

// The largest label file, object file or library qmtool reads (the program's
// own limit), and the largest JSON description.
constexpr qint64 MaxStreamBytes = 256ll * 1024 * 1024;
constexpr qint64 MaxJsonBytes = 64ll * 1024 * 1024;

// Why the file cannot be read, in a few words ("the file does not exist",
// "it is a directory", "permission denied", "the file is larger than
// 256 MiB"), or an empty string when it can.
QString Problem(const QString &fileName, qint64 maxBytes);

// The file's bytes; throws EInputFile with "FILE: problem".
QByteArray Read(const QString &fileName, qint64 maxBytes);

class EInputFile : public std::runtime_error
{
public:
    explicit EInputFile(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

}  // namespace inputfile
