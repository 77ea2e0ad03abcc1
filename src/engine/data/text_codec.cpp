#include "data/text_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <array>
#include <memory>
#include <optional>

#include "core/utf8.h"

namespace qv {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Microsoft's table of code page 950; ICU's "cp950" names IBM's, which differs.
constexpr const char* kBig5Name = "windows-950";

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

// One open converter; `stopOnUnmappable` makes unmappable characters fail the
// conversion instead of being replaced.
class Converter {
  public:
    explicit Converter(bool stopOnUnmappable) {
        UErrorCode status = U_ZERO_ERROR;
        conv_.reset(ucnv_open(kBig5Name, &status));
        if (U_FAILURE(status)) conv_.reset();
        if (!conv_ || !stopOnUnmappable) return;
        ucnv_setFallback(conv_.get(), false);
        ucnv_setFromUCallBack(conv_.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &status);
        if (U_FAILURE(status)) conv_.reset();
    }

    bool ok() const { return conv_ != nullptr; }
    UConverter* get() const { return conv_.get(); }

  private:
    std::unique_ptr<UConverter, ConverterCloser> conv_;
};

// Appends UTF-16 code units to UTF-8 output; a high surrogate at the end of a
// chunk waits in `pending` for its partner.
void appendUtf16(std::string& out, const UChar* begin, const UChar* end, char16_t& pending) {
    for (const UChar* p = begin; p != end; ++p) {
        const char16_t u = *p;
        if (pending != 0) {
            const char16_t high = pending;
            pending = 0;
            if (u >= 0xDC00 && u <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((char32_t{high} - 0xD800) << 10) + (u - 0xDC00));
                continue;
            }
            appendUtf8(out, U'\uFFFD');
        }
        if (u >= 0xD800 && u <= 0xDBFF) {
            pending = u;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            appendUtf8(out, U'\uFFFD');
        } else {
            appendUtf8(out, u);
        }
    }
}

std::string big5ToUtf8(std::string_view bytes) {
    Converter conv(false);
    if (!conv.ok()) return toUtf8(toCodePoints(bytes));  // ICU data missing: keep what we can
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    std::array<UChar, 16384> buffer;
    const char* source = bytes.data();
    const char* const sourceEnd = bytes.data() + bytes.size();
    char16_t pending = 0;
    for (;;) {
        UChar* target = buffer.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(conv.get(), &target, buffer.data() + buffer.size(), &source, sourceEnd,
                       nullptr, true, &status);
        appendUtf16(out, buffer.data(), target, pending);
        if (status != U_BUFFER_OVERFLOW_ERROR) break;
    }
    if (pending != 0) appendUtf8(out, U'\uFFFD');
    return out;
}

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (char32_t cp : toCodePoints(utf8)) {
        if (cp < 0x10000) {
            out.push_back(static_cast<char16_t>(cp));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
    }
    return out;
}

// The code page 950 bytes of a text, or nothing when a character has no place there.
std::optional<std::string> utf8ToBig5(std::string_view utf8) {
    Converter conv(true);
    if (!conv.ok()) return std::nullopt;
    const std::u16string units = toUtf16(utf8);
    std::string out;
    out.reserve(units.size() * 2);
    std::array<char, 16384> buffer;
    const UChar* source = units.data();
    const UChar* const sourceEnd = units.data() + units.size();
    for (;;) {
        char* target = buffer.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_fromUnicode(conv.get(), &target, buffer.data() + buffer.size(), &source, sourceEnd,
                         nullptr, true, &status);
        out.append(buffer.data(), target);
        if (status == U_BUFFER_OVERFLOW_ERROR) continue;
        if (U_FAILURE(status)) return std::nullopt;
        return out;
    }
}

}  // namespace

std::string decodeText(std::string_view bytes) {
    if (bytes.starts_with(kBom)) {
        bytes.remove_prefix(kBom.size());
        if (isValidUtf8(bytes)) return std::string(bytes);
        return toUtf8(toCodePoints(bytes));
    }
    if (isValidUtf8(bytes)) return std::string(bytes);
    return big5ToUtf8(bytes);
}

std::string decodeOwnedText(std::string bytes) {
    const std::string_view view = bytes;
    if (view.starts_with(kBom)) {
        if (!isValidUtf8(view.substr(kBom.size()))) return decodeText(bytes);
        bytes.erase(0, kBom.size());
        return bytes;
    }
    if (isValidUtf8(view)) return bytes;
    return big5ToUtf8(bytes);
}

std::string encodeForSave(std::string_view utf8) {
    // Some Big5 byte pairs also form valid UTF-8; such a file would read back
    // as different text, so it is only written in code page 950 when it
    // decodes to what was meant.
    if (auto big5 = utf8ToBig5(utf8); big5 && decodeText(*big5) == utf8) return *std::move(big5);
    std::string out(kBom);
    out.append(utf8);
    return out;
}

}  // namespace qv
