// SoapAnswerReader.h: reads a SOAP 1.1 answer of the feedback service (untrusted bytes) into the
// name of the element inside soap:Body and the text of its leaf fields. The document must be an
// envelope in the SOAP 1.1 namespace with one body element; fields are keyed by their local
// names below that element joined with "/" ("BeginSessionResult/SessionId", "faultstring").
#pragma once

#include "feedback/NimbraMessages.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct SoapAnswer {
    std::string BodyNamespace;
    std::string BodyElement;
    std::map<std::string, std::u16string> Fields;  // the first of repeated fields wins

    bool IsFault() const;
    bool IsResponseTo(std::string_view method) const;  // <method>Response in the service namespace
};

class SoapAnswerReader {
public:
    static constexpr std::size_t kMaxAnswerBytes = 1u << 20;
    static constexpr std::size_t kMaxFields = 256;
    static constexpr std::size_t kMaxFieldChars = 64u << 10;

    [[nodiscard]] static bool Read(const std::vector<std::uint8_t>& bytes, SoapAnswer& answer);
    // A BeginSessionResponse: the two numbers must parse and the session id must not be empty.
    [[nodiscard]] static bool ReadBeginSessionResult(const SoapAnswer& answer, BeginSessionResult& result);
    [[nodiscard]] static bool ReadFault(const SoapAnswer& answer, SoapFault& fault);

    // Strict decimal numbers with optional surrounding XML white space; anything else fails.
    static bool ParseUnsigned32(std::u16string_view text, std::uint32_t& value);
    static bool ParseInt32(std::u16string_view text, std::int32_t& value);
};
