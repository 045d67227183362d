// The root of the library's exceptions, and the exception for a failed string conversion.
#pragma once

#include <Tolvane/Util/StringConversion.h>

#include <atomic>
#include <cstddef>
#include <exception>
#include <string>

#if defined(__GLIBCXX__)
#include <ext/atomicity.h>
#endif

namespace Tolvane {

// Carries one message, given narrow or wide, and hands it out in both forms: narrow through
// what() (so a handler for std::exception sees the same text) and wide through
// GetWideMessage(). The missing form is converted with the system ANSI code page.
//
// The members are defined here, not exported: clients catch these classes by type across the
// library boundary. Copies share the message text; copying allocates nothing, cannot throw,
// and raises one reference count. Copies may be made, read and destroyed on different
// threads, and what() may be called on one object from several threads at once: the narrow
// text converted from a wide message is published with one compare-and-swap, so every caller
// gets the same pointer, and no call takes a lock.
class Exception : public virtual std::exception
{
public:
    // Throws std::bad_alloc when the message cannot be copied.
    explicit Exception(const std::string& message) : m_Message(new SharedMessage(message, nullptr))
    {
    }

    // Throws std::bad_alloc when the message cannot be copied.
    explicit Exception(const std::wstring& message) : m_Message(new SharedMessage(message)) {}

    // Shares the source's text; a narrow text the source has cached is shared too.
    Exception(const Exception& other) noexcept
        : std::exception(other), m_Message(other.m_Message.load(std::memory_order_acquire))
    {
        SharedMessage::Hold(m_Message.load(std::memory_order_relaxed));
    }

    Exception& operator=(const Exception&) = delete;

    ~Exception() noexcept override
    {
        SharedMessage::Release(m_Message.load(std::memory_order_acquire));
    }

    // The narrow message. A wide message is converted at the first call (best fit allowed,
    // '?' for what the ANSI code page lacks) and the result kept; a failed conversion gives
    // and keeps "". Never throws: if the conversion throws, "" is returned and the next call
    // tries again. The pointer stays valid as long as this object lives.
    const char* what() const noexcept override
    {
        const SharedMessage* message = m_Message.load(std::memory_order_acquire);
        const char* text = message->NarrowText();
        return text != nullptr ? text : ConvertedWhat(message);
    }

    // The wide message. A narrow message is converted anew at each call and nothing is kept;
    // a failed conversion gives an empty string. Throws what the conversion throws
    // (std::bad_alloc).
    virtual std::wstring GetWideMessage() const
    {
        const SharedMessage* message = m_Message.load(std::memory_order_acquire);
        if (message->HasWide())
        {
            return message->Wide();
        }
        std::wstring converted;
        if (!Util::StringConversion::Detail::ConvertStringToWString(message->Narrow(), converted,
                                                                    "", ""))
        {
            return std::wstring();
        }
        return converted;
    }

private:
    class SharedMessage;

    // what() of a wide message: converts it and publishes the narrow text.
    const char* ConvertedWhat(const SharedMessage* message) const noexcept
    {
        try
        {
            std::string converted;
            bool usedDefaultChar = false;
            if (!Util::StringConversion::Detail::ConvertWStringToString(
                    message->Wide(), converted, "", "", Util::StringConversion::AllowBestFitMapping,
                    Util::StringConversion::UseSpecifiedDefaultChar, '?', usedDefaultChar))
            {
                converted.clear();
            }
            // The converted text goes into a new message that keeps the wide one alive and
            // replaces it in this object only: copies made before convert on their own. The
            // first thread to publish wins; a loser adopts the winner's text.
            const SharedMessage* mine = new SharedMessage(converted, message);
            if (m_Message.compare_exchange_strong(message, mine, std::memory_order_acq_rel,
                                                  std::memory_order_acquire))
            {
                SharedMessage::Release(message);
                return mine->NarrowText();
            }
            SharedMessage::Release(mine);
            return message->NarrowText();
        }
        catch (...)
        {
            return "";
        }
    }

    // The text that copies of an exception share, with the number of objects (exceptions, or
    // the converted message of a wide one) that hold it; the last holder deletes it. It holds
    // a wide text, a narrow one, or a narrow one converted from the wide message it keeps.
    class SharedMessage
    {
    public:
        explicit SharedMessage(const std::wstring& wide) : m_Wide(wide) {}

        // `source` is the wide message that `narrow` was converted from, or null.
        SharedMessage(const std::string& narrow, const SharedMessage* source)
            : m_Narrow(narrow), m_NarrowText(m_Narrow.c_str()), m_Source(source)
        {
            Hold(source);
        }

        SharedMessage(const SharedMessage&) = delete;
        SharedMessage& operator=(const SharedMessage&) = delete;

        ~SharedMessage() { Release(m_Source); }

        // Null for a wide message that is not converted yet.
        const char* NarrowText() const noexcept { return m_NarrowText; }
        bool HasWide() const noexcept { return m_NarrowText == nullptr || m_Source != nullptr; }
        const std::string& Narrow() const noexcept { return m_Narrow; }
        const std::wstring& Wide() const noexcept { return m_Source ? m_Source->m_Wide : m_Wide; }

        static void Hold(const SharedMessage* message) noexcept
        {
            if (message != nullptr)
            {
#if defined(__GLIBCXX__)
                __gnu_cxx::__atomic_add_dispatch(&message->m_Holders, 1);
#else
                message->m_Holders.fetch_add(1, std::memory_order_relaxed);
#endif
            }
        }

        static void Release(const SharedMessage* message) noexcept
        {
#if defined(__GLIBCXX__)
            if (message != nullptr &&
                __gnu_cxx::__exchange_and_add_dispatch(&message->m_Holders, -1) == 1)
#else
            if (message != nullptr &&
                message->m_Holders.fetch_sub(1, std::memory_order_acq_rel) == 1)
#endif
            {
                delete message;
            }
        }

    private:
#if defined(__GLIBCXX__)
        // Counted as the standard library counts its own shared strings: atomically once the
        // process runs a second thread, with plain arithmetic before.
        mutable _Atomic_word m_Holders = 1;
#else
        mutable std::atomic<std::size_t> m_Holders{1};
#endif
        const std::wstring m_Wide;
        const std::string m_Narrow;
        const char* const m_NarrowText = nullptr;
        const SharedMessage* const m_Source = nullptr;
    };

    // Replaced once, by what() of a wide message, with its converted form; never null.
    mutable std::atomic<const SharedMessage*> m_Message;
};

// Thrown for a string conversion that failed (ThrowConvertStringException). It adds nothing to
// Exception but its type.
class ConvertStringException : public Exception
{
public:
    // Throws std::bad_alloc when the message cannot be copied.
    explicit ConvertStringException(const std::string& message) : Exception(message) {}
};

} // namespace Tolvane
