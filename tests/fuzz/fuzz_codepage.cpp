// Code pages: decoding is total and encoding gives back what decoding made of the bytes;
// text that a page cannot hold is reported, never replaced.
#include "fuzz/fuzz_check.h"
#include "platform/codepage.h"

#include <cstring>

using namespace lexanta;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0)
        return 0;
    static constexpr int kPages[] = {1252, 1251, 1250,  1253, 1254, 1255, 1256, 1257, 1258,
                                     874,  437,  10000, 932,  936,  949,  950,  1361};
    const CodePage& page = CodePage::get(kPages[data[0] % std::size(kPages)]);
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const QString text = page.decode(bytes);
    const EncodeResult back = page.encode(text);
    fuzz::require(back.ok(), "decoded text encodes");
    fuzz::require(page.decode(back.bytes) == text, "decode and encode settle");
    if (page.number() != 932 && page.number() != 936 && page.number() != 949 &&
        page.number() != 950 && page.number() != 1361)
        fuzz::require(back.bytes == bytes, "single-byte pages give every byte back");

    // The same bytes as UTF-16 text to encode.
    QString typed(qsizetype(bytes.size() / 2), Qt::Uninitialized);
    std::memcpy(typed.data(), bytes.data(), std::size_t(typed.size()) * 2);
    const EncodeResult encoded = page.encode(typed);
    for (const QChar c : encoded.unencodable)
        fuzz::require(typed.contains(c), "only characters of the text are unencodable");
    fuzz::require(encoded.ok() == encoded.unencodable.isEmpty(), "ok means none unencodable");
    return 0;
}
