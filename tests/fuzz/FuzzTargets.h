#pragma once
// The fuzz targets: each takes one input as the program would receive it
// and goes through the same entry point the program uses. A target returns
// normally for every input; a crash, a hang or an oversized allocation is
// the fault the fuzzer looks for. Built both into the libFuzzer executables
// (-DQM_FUZZ=ON) and into fuzz_replay, which ctest runs over regressions/.

#include <QByteArray>
#include <QString>

namespace qmfuzz {

// The application object, offscreen, and the picture classes registered.
// Called once before the first input; the targets that make label objects
// register the label classes on their first input.
void Prepare();
// `bytes` in a fresh file of a private temporary folder; the path.
QString WriteScratchFile(const QByteArray &bytes, const QString &name);

void label(const QByteArray &bytes);      // label file, through the filer's open
void object(const QByteArray &bytes);     // object file, as clones are read
void clipboard(const QByteArray &bytes);  // the clipboard file, pasted
void stream(const QByteArray &bytes);     // one "TPF0" property record
void templates(const QByteArray &bytes);  // the template library
void ini(const QByteArray &bytes);        // QM.INI and the preferences in it
void mru(const QByteArray &bytes);        // the recent-files list
void bmp(const QByteArray &bytes);
void ico(const QByteArray &bytes);
void jpeg(const QByteArray &bytes);
void wmf(const QByteArray &bytes);
void emf(const QByteArray &bytes);
void rtf(const QByteArray &bytes);        // the RTF reader
void json(const QByteArray &bytes);       // qmtool's JSON reader
void build(const QByteArray &bytes);      // qmtool build

struct Target
{
    const char *name;
    void (*run)(const QByteArray &bytes);
};

inline constexpr Target Targets[] = {
    {"label", label}, {"object", object}, {"clipboard", clipboard}, {"stream", stream},
    {"templates", templates}, {"ini", ini}, {"mru", mru}, {"bmp", bmp}, {"ico", ico},
    {"jpeg", jpeg}, {"wmf", wmf}, {"emf", emf}, {"rtf", rtf}, {"json", json}, {"build", build},
};

}  // namespace qmfuzz
