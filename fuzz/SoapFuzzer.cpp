// SoapFuzzer.cpp: one input is an answer of the feedback service, read as the upload reads every
// answer: the envelope, then a BeginSession result or a fault.
#include "feedback/SoapAnswerReader.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SoapAnswer answer;
    if (!SoapAnswerReader::Read(std::vector<std::uint8_t>(data, data + size), answer))
        return 0;
    (void)answer.IsFault();
    (void)answer.IsResponseTo("BeginSession");
    BeginSessionResult result;
    (void)SoapAnswerReader::ReadBeginSessionResult(answer, result);
    SoapFault fault;
    (void)SoapAnswerReader::ReadFault(answer, fault);
    return 0;
}
