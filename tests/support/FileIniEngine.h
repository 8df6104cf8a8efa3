// FileIniEngine.h: the fake engine with its INI reads and resource loads going to real files under
// the root folder, INI files read by the engine's own reader. For readers whose input is best
// given as a whole file (the level file, and what the loader checks in it).
#pragma once

#include "platform/FileSystem.h"
#include "platform/IniStore.h"
#include "support/FakeEngine.h"

#include <string>
#include <vector>

class FileIniEngine : public FakeEngine {
public:
    int IniGetInt(const char* section, const char* key, int def) override
    {
        return Store().GetInt(Text(section), Text(key), def);
    }
    float IniGetFloat(const char* section, const char* key, float def) override
    {
        return Store().GetFloat(Text(section), Text(key), def);
    }
    std::string IniGetString(const char* section, const char* key, const char* def) override
    {
        return Store().GetString(Text(section), Text(key), Text(def));
    }
    bool ResourceLoad(const char* path, std::vector<std::uint8_t>& out) override
    {
        return path != nullptr && fs_layer::ReadWholeFile(path, out);
    }

private:
    static std::string Text(const char* text) { return text != nullptr ? text : ""; }
    IniStore& Store()
    {
        m_store.SetFile(CurrentIniFile());
        return m_store;
    }
    IniStore m_store;
};
