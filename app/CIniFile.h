// CIniFile.h: reads one section of one INI file through the engine, side by side with others.
//
// The engine reads only its one current INI file, so every read first makes this object's file
// current again. Nothing is cached: each read goes to the file. Holds its own engine reference.
#pragma once

#include "platform/EngineRef.h"

#include <string>

class CIniFile {
public:
    explicit CIniFile(const char* file);
    CIniFile(const CIniFile& other);
    CIniFile& operator=(const CIniFile& other);
    ~CIniFile();

    void Bind();                             // makes this object's file the engine's current one
    void SetSection(const char* section);    // the section of later reads

    // Missing keys or sections read as "", 0, 0.0 and false. The text stays valid until the
    // next GetString of this object.
    const char* GetString(const char* key);
    int GetInt(const char* key);
    float GetFloat(const char* key);
    bool GetBool(const char* key);
    // The key's text as written; false when the section has no such key (an empty value is there).
    bool Find(const char* key, std::string& value);

private:
    std::string m_sFile;
    std::string m_sSection;
    CEngineRef m_pEngine;
    std::string m_sValue;  // the last GetString result
};
