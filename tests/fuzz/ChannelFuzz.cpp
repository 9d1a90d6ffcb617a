// The meter's local socket reads requests from any program of the user's, and a status client
// reads the meter's answers: both readers take any bytes. A request is taken only in the one
// spelling the client writes; a status line taken is written back the same and decodes to the
// same figures; what a client prints from it stays one line.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "channel/ChannelProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);

    ChannelVerb verb = ChannelVerb::Show;
    switch (ParseChannelRequest(text, verb)) {
        case RequestCheck::Valid:
            FUZZ_CHECK(ChannelRequest(verb) == text);
            break;
        case RequestCheck::UnknownVersion:
            FUZZ_CHECK(text.starts_with("tallyglass ") && text.size() <= kMaxRequestLength);
            break;
        case RequestCheck::Malformed:
            break;
    }

    MeterStatus status;
    if (DecodeStatusAnswer(text, status)) {
        FUZZ_CHECK(text.size() <= kMaxAnswerLength);
        const std::string again = EncodeStatusAnswer(status);
        MeterStatus decoded;
        FUZZ_CHECK(DecodeStatusAnswer(again, decoded) && decoded == status);
        FUZZ_CHECK(StatusText(status).find('\n') == std::string::npos);
        const std::string json = StatusJson(status);
        FUZZ_CHECK(!json.empty() && json.front() == '{' && json.find('\n') == json.size() - 1);
        for (const char c : json) {
            FUZZ_CHECK(c == '\n' || static_cast<unsigned char>(c) >= 0x20);
        }
    }
    return 0;
}
