// LocalSoapServer.h: starts soap_test_server.py on 127.0.0.1 for one test and reads what it logged.
// The server runs in its own temporary folder, is killed when the object goes away and answers
// per scenario (see the script). Header-only, for the feedback and http tests.
#pragma once

#include "platform/http/ChildProcess.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

class LocalSoapServer {
public:
    struct Request {
        std::map<std::string, std::string> meta;  // method, soapAction, contentType, errors, ...
        std::string xml;                          // the document after inflating
    };

    LocalSoapServer() = default;
    ~LocalSoapServer()
    {
        m_process.Kill();
        std::error_code ignored;
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir, ignored);
    }

    // A proxy named in the environment would carry the tests' requests off this machine: requests to
    // the local addresses go straight to them.
    static void KeepRequestsLocal()
    {
        for (const char* name : {"no_proxy", "NO_PROXY"})
            setenv(name, "127.0.0.1,localhost", 1);
    }

    // Extra arguments such as {"--scenario", "default=fault"}. Waits up to 10 s for the port.
    bool Start(const std::vector<std::string>& extraArgs = {})
    {
        KeepRequestsLocal();
        // The script sits beside this header (the build names headers by absolute path).
        const char* source = std::getenv("SOL_SOURCE_DIR");
        const std::string script = source ? std::string(source) + "/tests/feedback/soap_test_server.py"
                                          : (std::filesystem::path(__FILE__).parent_path() / "soap_test_server.py").string();
        std::random_device random;
        m_dir = (std::filesystem::temp_directory_path() / ("soap-server-" + std::to_string(random()))).string();
        std::filesystem::create_directories(m_dir);
        std::vector<std::string> args = {script, "--dir", m_dir};
        args.insert(args.end(), extraArgs.begin(), extraArgs.end());
        if (!m_process.Start("python3", args)) return false;
        for (int i = 0; i < 1000; ++i) {
            std::ifstream in(m_dir + "/port");
            if (in >> m_port) return true;
            if (!m_process.IsRunning()) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::string Url(const std::string& query = "") const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/data/dataservice.asmx" + query;
    }
    int Port() const { return m_port; }

    std::vector<Request> Requests() const
    {
        std::vector<Request> requests;
        for (int i = 0;; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "/%03d", i);
            std::ifstream meta(m_dir + name + ".meta");
            if (!meta) break;
            Request r;
            for (std::string line; std::getline(meta, line);) {
                const std::size_t eq = line.find('=');
                if (eq != std::string::npos) r.meta[line.substr(0, eq)] = line.substr(eq + 1);
            }
            std::ifstream xml(m_dir + name + ".xml", std::ios::binary);
            std::ostringstream text;
            text << xml.rdbuf();
            r.xml = text.str();
            requests.push_back(std::move(r));
        }
        return requests;
    }

private:
    http_layer::ChildProcess m_process;
    std::string m_dir;
    int m_port = 0;
};
