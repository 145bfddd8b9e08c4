// The parts of the files layer that are the same on every system: a handle's
// lifetime and moves, and naming one file by identity or by name.
#include "platform/Files.h"

CFile::~CFile()
{
    Close();
}

CFile::CFile(CFile&& other) noexcept
    : m_handle(other.m_handle), m_failure(other.m_failure), m_id(other.m_id), m_openLength(other.m_openLength)
{
    other.m_handle = -1;
}

CFile& CFile::operator=(CFile&& other) noexcept
{
    if (this != &other) {
        Close();
        m_handle = other.m_handle;
        m_failure = other.m_failure;
        m_id = other.m_id;
        m_openLength = other.m_openLength;
        other.m_handle = -1;
    }
    return *this;
}

bool IsSamePath(const std::string& a, const std::string& b)
{
    const FileId id = GetFileId(a);
    if (id.exists && id == GetFileId(b))
        return true;
    const std::string folder = GetCurrentFolder();
    return NormalPath(a, folder) == NormalPath(b, folder);
}
