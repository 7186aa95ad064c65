#include "core/listops/byte_search.h"

#include "platform/codepage.h"
#include "platform/collation.h"

#include <map>
#include <mutex>
#include <tuple>

namespace lexanta {

std::shared_ptr<const ByteFold> buildByteFold(const CodePage& page, bool matchCase) {
    auto fold = std::make_shared<ByteFold>();
    std::string all(256, '\0');
    const LocaleLowerCase lower;
    for (int b = 0; b < 256; ++b) {
        all[static_cast<std::size_t>(b)] = static_cast<char>(b);
        const char byte = static_cast<char>(b);
        QString unit = page.decode(&byte, 1);
        if (!matchCase)
            unit = lower(unit);
        if (unit.size() != 1)
            return nullptr;
        fold->unit_[static_cast<std::size_t>(b)] = unit.at(0).unicode();
    }
    // A page that decodes a byte differently after another one is not a byte-for-unit page.
    const QString decoded = page.decode(all);
    if (decoded.size() != 256)
        return nullptr;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        if (decoded.at(b) != page.decode(&byte, 1).at(0))
            return nullptr;
    }
    for (int b = 0; b < 256; ++b) {
        int first = b;
        for (int a = 0; a < b; ++a)
            if (fold->unit_[static_cast<std::size_t>(a)] ==
                fold->unit_[static_cast<std::size_t>(b)]) {
                first = a;
                break;
            }
        fold->class_[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(first);
    }
    if (!matchCase) {
        // Lower-casing every pair shows the bytes whose lower case depends on a neighbour.
        char16_t pair[2];
        char16_t out[8];
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                pair[0] = decoded.at(a).unicode();
                pair[1] = decoded.at(b).unicode();
                const int length = lower.lower(pair, 2, out, 8);
                const char16_t ua = fold->unit_[static_cast<std::size_t>(a)];
                const char16_t ub = fold->unit_[static_cast<std::size_t>(b)];
                if (length != 2 || out[0] != ua)
                    fold->contextual_[static_cast<std::size_t>(a)] = true;
                if (length != 2 || out[1] != ub)
                    fold->contextual_[static_cast<std::size_t>(b)] = true;
            }
        }
        for (bool c : fold->contextual_)
            fold->anyContextual_ = fold->anyContextual_ || c;
    }
    return fold;
}

std::shared_ptr<const ByteFold> ByteFold::forPage(const CodePage& page, bool matchCase) {
    static std::mutex mutex;
    static std::map<std::tuple<int, bool, QByteArray>, std::shared_ptr<const ByteFold>> folds;
    const QByteArray locale = matchCase ? QByteArray() : LocaleLowerCase().locale();
    const auto key = std::make_tuple(page.number(), matchCase, locale);
    const std::lock_guard<std::mutex> lock(mutex);
    auto it = folds.find(key);
    if (it == folds.end())
        it = folds.emplace(key, buildByteFold(page, matchCase)).first;
    return it->second;
}

bool ByteFold::classesOf(const QString& needle, std::string& out) const {
    out.clear();
    for (const QChar c : needle) {
        int found = -1;
        for (int b = 0; b < 256 && found < 0; ++b)
            if (unit_[static_cast<std::size_t>(b)] == c.unicode() &&
                !contextual_[static_cast<std::size_t>(b)])
                found = b;
        if (found < 0)
            return false;
        out.push_back(static_cast<char>(class_[static_cast<std::size_t>(found)]));
    }
    return true;
}

} // namespace lexanta
