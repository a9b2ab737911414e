#include "online/address.h"

#include <cstring>

CAddress::CAddress(const std::string& text) : m_strText(text) {
    // No part is longer than the whole address.
    const DWORD size = static_cast<DWORD>(text.size() + 1);
    std::string host(size, '\0'), user(size, '\0'), password(size, '\0'), path(size, '\0'),
        extra(size, '\0');
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = &host[0];
    parts.dwHostNameLength = size;
    parts.lpszUserName = &user[0];
    parts.dwUserNameLength = size;
    parts.lpszPassword = &password[0];
    parts.dwPasswordLength = size;
    parts.lpszUrlPath = &path[0];
    parts.dwUrlPathLength = size;
    parts.lpszExtraInfo = &extra[0];
    parts.dwExtraInfoLength = size;
    if (!InternetCrackUrlA(text.c_str(), 0, 0, &parts)) {
        m_dwError = GetLastError();
        return;
    }
    m_nScheme = parts.nScheme;
    m_nPort = parts.nPort;
    m_strHost.assign(host.c_str(), parts.dwHostNameLength);
    m_strUser.assign(user.c_str(), parts.dwUserNameLength);
    m_strPassword.assign(password.c_str(), parts.dwPasswordLength);
    m_strObject.assign(path.c_str(), parts.dwUrlPathLength);
    if (m_strObject.empty()) m_strObject = "/";
    m_strObject.append(extra.c_str(), parts.dwExtraInfoLength);
}

CAddress CAddress::Follow(const std::string& location) const {
    // Only spaces are escaped: the rest stays as the server wrote it.
    const DWORD flags = ICU_ENCODE_SPACES_ONLY;
    std::string text(m_strText.size() + location.size() + 64, '\0');
    DWORD length = static_cast<DWORD>(text.size());
    if (!InternetCombineUrlA(m_strText.c_str(), location.c_str(), &text[0], &length, flags)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return CAddress(location);
        text.assign(length + 1, '\0');
        length = static_cast<DWORD>(text.size());
        if (!InternetCombineUrlA(m_strText.c_str(), location.c_str(), &text[0], &length, flags))
            return CAddress(location);
    }
    text.resize(std::strlen(text.c_str()));
    return CAddress(text);
}
