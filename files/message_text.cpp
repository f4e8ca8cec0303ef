#include "files/message_text.h"

namespace kesmir {

std::string quotedForMessage(std::string_view bytes, std::size_t longest) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string quoted = "\"";
    for (std::size_t i = 0; i < bytes.size() && i < longest; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\\') {
            quoted += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            quoted += static_cast<char>(byte);
        } else {
            quoted += "\\x";
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 0xF];
        }
    }
    if (bytes.size() > longest) quoted += "...";
    return quoted + "\"";
}

}  // namespace kesmir
