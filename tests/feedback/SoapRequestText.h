// SoapRequestText.h: what the feedback tests read out of the requests LocalSoapServer logged.
// Plain text searches, enough for the documents the client writes. Header-only.
#pragma once

#include "LocalSoapServer.h"

#include <cstddef>
#include <string>
#include <vector>

inline std::vector<std::string> Methods(const std::vector<LocalSoapServer::Request>& requests)
{
    std::vector<std::string> methods;
    for (const auto& r : requests)
        methods.push_back(r.meta.at("method"));
    return methods;
}

// The text of the first <name> element, "(none)" when there is none.
inline std::string Field(const std::string& xml, const std::string& name)
{
    const std::string open = "<" + name + ">", close = "</" + name + ">";
    const std::size_t start = xml.find(open);
    if (start == std::string::npos)
        return "(none)";
    const std::size_t end = xml.find(close, start + open.size());
    return end == std::string::npos ? "(none)" : xml.substr(start + open.size(), end - start - open.size());
}

inline int CountOf(const std::string& xml, const std::string& text)
{
    int count = 0;
    for (std::size_t at = xml.find(text); at != std::string::npos; at = xml.find(text, at + 1))
        ++count;
    return count;
}
