// Times the platform conversions the editor runs per cell: decoding and encoding
// fields in single- and double-byte code pages, and collation sort keys.
//   bench_platform [N]   (N fields of 12 characters; default 1,000,000)
#include "platform/codepage.h"
#include "platform/collation.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace lexanta;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// N fields of random characters the page can hold, as bytes.
std::vector<std::string> fields(const CodePage& page, const QString& alphabet, int count) {
    std::mt19937 random(7);
    std::uniform_int_distribution<qsizetype> pick(0, alphabet.size() - 1);
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        QString text;
        for (int c = 0; c < 12; ++c)
            text += alphabet[pick(random)];
        out.push_back(page.encode(text).bytes);
    }
    return out;
}

void timePage(int number, const QString& alphabet, int count) {
    const CodePage& page = CodePage::get(number);
    const std::vector<std::string> data = fields(page, alphabet, count);
    std::vector<QString> decoded;
    decoded.reserve(data.size());

    auto start = Clock::now();
    for (const std::string& field : data)
        decoded.push_back(page.decode(field));
    const double decodeTime = seconds(start);

    start = Clock::now();
    std::size_t bytes = 0;
    for (const QString& text : decoded)
        bytes += page.encode(text).bytes.size();
    const double encodeTime = seconds(start);

    std::printf("code page %5d: decode %d fields %.3f s (%.0f ns each), encode %.3f s (%.0f ns "
                "each), %zu bytes\n",
                number, count, decodeTime, decodeTime * 1e9 / count, encodeTime,
                encodeTime * 1e9 / count, bytes);
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000000;
    if (count <= 0) {
        std::fprintf(stderr, "usage: bench_platform [fields]\n");
        return 2;
    }
    timePage(1251, QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЁЖ abc"), count);
    timePage(1252, QStringLiteral("abcdefghijklmnopqrstuvwxyzéèàçüöäß ABC"), count);
    timePage(932, QStringLiteral("日本語のかなカナ漢字テスト abc"), count);

    const CodePage& page = CodePage::get(1251);
    const std::vector<std::string> data =
        fields(page, QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЁЖ abc"), count);
    const KeyCollator collator(QStringLiteral("ru_RU"));
    auto start = Clock::now();
    std::size_t keyBytes = 0;
    for (const std::string& field : data)
        keyBytes += collator.sortKey(page.decode(field)).size();
    std::printf("sort keys (ru): %d fields %.3f s (%.0f ns each), %zu key bytes\n", count,
                seconds(start), seconds(start) * 1e9 / count, keyBytes);
    return 0;
}
