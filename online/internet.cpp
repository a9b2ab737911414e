#include "online/internet.h"
#include "online/owners.h"

#include <cstdlib>

namespace {

std::string TrimRight(std::string text) {
    while (!text.empty() &&
           (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

}  // namespace

std::string InternetErrorText(DWORD code) {
    if (code == ERROR_INTERNET_EXTENDED_ERROR) {
        DWORD error = 0, length = 0;
        InternetGetLastResponseInfoA(&error, nullptr, &length);
        if (length > 0) {
            std::string text(length + 1, '\0');
            if (InternetGetLastResponseInfoA(&error, &text[0], &length)) {
                text.resize(length);
                text = TrimRight(text);
                if (!text.empty()) return text;
            }
        }
    } else {
        CLocalBuffer buffer;
        DWORD n = FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            GetModuleHandleA("wininet.dll"), code, 0,
            reinterpret_cast<char*>(buffer.Receive()), 0, nullptr);
        if (n > 0 && buffer.Get()) {
            std::string text = TrimRight(std::string(buffer.Get(), n));
            if (!text.empty()) return text;
        }
    }
    // Wine's Internet client has no texts for its certificate errors.
    switch (code) {
    case ERROR_INTERNET_INVALID_CA:
        return "The server's certificate is not signed by an authority this computer trusts.";
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
        return "The server's certificate is made out to another name.";
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
        return "The server's certificate has expired or is not valid yet.";
    default:
        return "No error message is available.";
    }
}

std::string QueryHeader(HINTERNET request, DWORD info) {
    std::string text(256, '\0');
    for (;;) {
        DWORD length = static_cast<DWORD>(text.size());
        DWORD index = 0;
        if (HttpQueryInfoA(request, info, &text[0], &length, &index)) {
            text.resize(length);
            return text;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length <= text.size()) return "";
        text.assign(length + 1, '\0');
    }
}

DWORD StatusCode(HINTERNET request) {
    DWORD status = 0, length = sizeof status, index = 0;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &length, &index))
        return 0;
    return status;
}

std::string StatusLine(HINTERNET request, DWORD status) {
    const std::string text = "The server answered " + std::to_string(status);
    const std::string reason = QueryHeader(request, HTTP_QUERY_STATUS_TEXT);
    return reason.empty() ? text : text + " " + reason;
}

long long AnnouncedLength(HINTERNET request) {
    const std::string text = QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH);
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    return text.empty() || *end != '\0' || value < 0 ? -1 : value;
}

void SetTimeouts(HINTERNET h, DWORD ms) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD value = ms;
        InternetSetOptionA(h, option, &value, sizeof value);
    }
}

bool CInternetHandles::Keep(Slot slot, HINTERNET h) {
    HINTERNET previous;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bClosed) {
            previous = h;
            h = nullptr;
        } else {
            previous = m_handles[slot];
            m_handles[slot] = h;
        }
    }
    if (previous) InternetCloseHandle(previous);
    return h != nullptr;
}

HINTERNET CInternetHandles::Take(Slot slot) {
    std::lock_guard<std::mutex> lock(m_mutex);
    HINTERNET h = m_handles[slot];
    m_handles[slot] = nullptr;
    return h;
}

void CInternetHandles::Close(Slot slot) {
    if (HINTERNET h = Take(slot)) InternetCloseHandle(h);
}

void CInternetHandles::CloseAll() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bClosed = true;
    }
    Close(kSource);
    Close(kConnection);
    Close(kSession);
}
