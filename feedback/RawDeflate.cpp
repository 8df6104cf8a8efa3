#include "feedback/RawDeflate.h"

#include <zlib.h>

#include <climits>
#include <cstddef>
#include <new>

namespace {

constexpr std::size_t kFirstOutputSize = 1024;
constexpr std::size_t kMaxOutputSize = std::size_t(1) << 30;  // far beyond any request we build

enum class Pass { Done, NeedMore, Failed };

// Owns one deflate stream.
class Deflater {
public:
    Deflater() { m_bReady = deflateInit2(&m_stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK; }
    ~Deflater() { if (m_bReady) deflateEnd(&m_stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    Pass Run(std::string_view input, std::vector<std::uint8_t>& output)
    {
        if (!m_bReady) return Pass::Failed;
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
        m_stream.avail_in = static_cast<uInt>(input.size());
        m_stream.next_out = output.data();
        m_stream.avail_out = static_cast<uInt>(output.size());
        const int rc = deflate(&m_stream, Z_FINISH);
        if (rc == Z_STREAM_END) {
            output.resize(m_stream.total_out);
            return Pass::Done;
        }
        return (rc == Z_OK || rc == Z_BUF_ERROR) ? Pass::NeedMore : Pass::Failed;
    }

private:
    z_stream m_stream {};
    bool m_bReady = false;
};

}  // namespace

bool RawDeflate(std::string_view input, std::vector<std::uint8_t>& output)
{
    output.clear();
    if (input.size() > UINT_MAX) return false;
    for (std::size_t size = kFirstOutputSize; size <= kMaxOutputSize && size <= UINT_MAX; size *= 2) {
        std::vector<std::uint8_t> buffer(size);
        Deflater deflater;
        const Pass pass = deflater.Run(input, buffer);
        if (pass == Pass::Failed) return false;
        if (pass == Pass::Done) {
            output.swap(buffer);
            return true;
        }
    }
    return false;
}
