// INI profile: whatever the file holds, writing a value adds no key and no section but
// the one written, survives a save and a load, and leaves every other value as it was.
#include "fuzz/fuzz_check.h"
#include "platform/ini_profile.h"

using namespace lexanta;

namespace {

// Every value of every section, as the profile functions read them.
QStringList everything(const IniFile& ini) {
    QStringList all;
    for (const QString& section : ini.sections())
        for (const QString& key : ini.keys(section))
            all << section + QLatin1Char('/') + key + QLatin1Char('=') + ini.value(section, key);
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    // The file, then after the last NUL: section, key and value separated by NULs.
    const std::string_view input = fuzz::asBytes(data, size);
    const std::size_t split = input.find('\0');
    IniFile ini;
    ini.parse(std::string(input.substr(0, split)));
    QStringList parts = split == std::string_view::npos
                            ? QStringList{}
                            : QString::fromUtf8(input.substr(split + 1)).split(QChar(0));
    while (parts.size() < 3)
        parts << QStringLiteral("Key");
    const QString &section = parts[0], &key = parts[1], &value = parts[2];
    const bool exact = size % 2 == 0;

    IniFile reloaded;
    reloaded.parse(ini.toBytes());
    fuzz::require(everything(reloaded) == everything(ini), "a save and a load change nothing");

    const QStringList before = everything(ini);
    const bool hadSection = ini.hasSection(section);
    const bool hadKey = ini.contains(section, key);
    const bool written =
        exact ? ini.setExactValue(section, key, value) : ini.setValue(section, key, value);
    IniFile after;
    after.parse(ini.toBytes());
    fuzz::require(everything(after) == everything(ini), "the written file reads as held");
    if (!written) {
        fuzz::require(everything(after) == before, "a refused write changes nothing");
        return 0;
    }
    fuzz::require(after.sections().size() == ini.sections().size(), "sections kept");
    fuzz::require(after.sections().size() <= reloaded.sections().size() + (hadSection ? 0 : 1),
                  "at most the written section is new");
    fuzz::require(after.keys(section).size() <= reloaded.keys(section).size() + (hadKey ? 0 : 1),
                  "at most the written key is new");
    if (exact)
        fuzz::require(after.value(section, key) == value, "an exact value reads back as written");
    QStringList others = everything(after);
    others.removeIf([&](const QString& line) {
        return line.startsWith(section.trimmed() + QLatin1Char('/') + key.trimmed() +
                                   QLatin1Char('='),
                               Qt::CaseInsensitive);
    });
    QStringList othersBefore = before;
    othersBefore.removeIf([&](const QString& line) {
        return line.startsWith(section.trimmed() + QLatin1Char('/') + key.trimmed() +
                                   QLatin1Char('='),
                               Qt::CaseInsensitive);
    });
    fuzz::require(others == othersBefore, "other values untouched");
    return 0;
}
