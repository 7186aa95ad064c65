#pragma once

// File names on Linux are bytes. Qt spells them as UTF-8 and turns every byte that is not
// part of a UTF-8 sequence into U+FFFD, so a name such as "w\xF6rter.lut" from an old
// archive would become another name. These functions keep such bytes: each one is carried
// as the lone surrogate U+DC00 + byte (the "surrogateescape" scheme), which no valid name
// contains, and is turned back into the byte when the name goes to the system.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lexanta {

// The name for these bytes; valid UTF-8 decodes as Qt decodes it.
QString fileNameFromBytes(QByteArrayView bytes);

// The bytes of a name made by fileNameFromBytes (or any other QString).
QByteArray fileNameToBytes(const QString& name);

// True when the name carries bytes that are not UTF-8, i.e. Qt's own file classes cannot
// spell it.
bool hasRawBytes(const QString& name);

// The name for a message or a title: carried bytes shown as U+FFFD.
QString displayFileName(const QString& name);

// A file dialog lists names through Qt and so hands back U+FFFD for bytes that are not
// UTF-8. Each such path component is matched against the entries of its folder; where
// exactly one entry reads the same, the entry's own bytes are used. Other names come back
// unchanged.
QString resolveListedFileName(const QString& name);

} // namespace lexanta
