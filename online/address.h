// An Internet address as the transfer fetches it: taken apart once, and for
// each redirect the next one made from it.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

class CAddress {
public:
    // Takes `text` apart; when it cannot be, Error() is the Internet
    // client's error code.
    explicit CAddress(const std::string& text);

    // Where a redirect's Location leads from here (it may be relative).
    CAddress Follow(const std::string& location) const;

    const std::string& Text() const { return m_strText; }
    DWORD Error() const { return m_dwError; }
    bool IsHttp() const {
        return m_nScheme == INTERNET_SCHEME_HTTP || m_nScheme == INTERNET_SCHEME_HTTPS;
    }
    bool IsSecure() const { return m_nScheme == INTERNET_SCHEME_HTTPS; }
    bool IsFtp() const { return m_nScheme == INTERNET_SCHEME_FTP; }

    const std::string& Host() const { return m_strHost; }
    INTERNET_PORT Port() const { return m_nPort; }
    // Empty when the address names none.
    const std::string& User() const { return m_strUser; }
    const std::string& Password() const { return m_strPassword; }
    // What an HTTP request asks for: the path ("/" when there is none) and
    // the query.
    const std::string& Object() const { return m_strObject; }

private:
    std::string m_strText;
    DWORD m_dwError = 0;
    INTERNET_SCHEME m_nScheme = INTERNET_SCHEME_UNKNOWN;
    std::string m_strHost, m_strUser, m_strPassword, m_strObject;
    INTERNET_PORT m_nPort = 0;
};
