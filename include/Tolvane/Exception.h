// The root of the library's exceptions, and the exception for a failed string conversion.
#pragma once

#include <Tolvane/Util/StringConversion.h>

#include <boost/smart_ptr/shared_ptr.hpp>

#include <atomic>
#include <cstddef>
#include <exception>
#include <string>

namespace Tolvane
{

// Carries one message, given narrow or wide, and hands it out in both forms: narrow through
// what() (so a handler for std::exception sees the same text) and wide through
// GetWideMessage(). The missing form is converted with the system ANSI code page.
//
// The members are defined here, not exported: clients catch these classes by type across the
// library boundary. Copies share the message text; copying allocates nothing and cannot throw.
// Copies may be made, read and destroyed on different threads, and what() may be called on
// one object from several threads at once: the narrow text converted from a wide message is
// published with one compare-and-swap, so every caller gets the same pointer, and no call
// takes a lock.
class Exception : public virtual std::exception
{
public:
    // Throws std::bad_alloc when the message cannot be copied.
    explicit Exception(const std::string& message)
        : m_WideMessage(), m_NarrowMessage(new SharedNarrowMessage(message))
    {
    }

    // Throws std::bad_alloc when the message cannot be copied.
    explicit Exception(const std::wstring& message)
        : m_WideMessage(new std::wstring(message)), m_NarrowMessage(nullptr)
    {
    }

    // Shares the source's text; a narrow text the source has cached is shared too.
    Exception(const Exception& other) noexcept
        : std::exception(other), m_WideMessage(other.m_WideMessage),
          m_NarrowMessage(other.m_NarrowMessage.load(std::memory_order_acquire))
    {
        SharedNarrowMessage::Hold(m_NarrowMessage.load(std::memory_order_relaxed));
    }

    Exception& operator=(const Exception&) = delete;

    ~Exception() noexcept override
    {
        SharedNarrowMessage::Release(m_NarrowMessage.load(std::memory_order_acquire));
    }

    // The narrow message. A wide message is converted at the first call (best fit allowed,
    // '?' for what the ANSI code page lacks) and the result kept; a failed conversion gives
    // and keeps "". Never throws: if the conversion throws, "" is returned and the next call
    // tries again. The pointer stays valid as long as this object lives.
    const char* what() const noexcept override
    {
        const SharedNarrowMessage* narrow = m_NarrowMessage.load(std::memory_order_acquire);
        if (narrow != nullptr)
        {
            return narrow->Text().c_str();
        }
        if (!m_WideMessage)
        {
            return "";
        }
        try
        {
            std::string converted;
            bool usedDefaultChar = false;
            if (!Util::StringConversion::Detail::ConvertWStringToString(
                    *m_WideMessage, converted, "", "", Util::StringConversion::AllowBestFitMapping,
                    Util::StringConversion::UseSpecifiedDefaultChar, '?', usedDefaultChar))
            {
                converted.clear();
            }
            const SharedNarrowMessage* mine = new SharedNarrowMessage(converted);
            // The first thread to publish wins; a loser adopts the winner's text (and frees
            // its own), so every caller sees one pointer.
            if (m_NarrowMessage.compare_exchange_strong(narrow, mine, std::memory_order_acq_rel,
                                                        std::memory_order_acquire))
            {
                return mine->Text().c_str();
            }
            SharedNarrowMessage::Release(mine);
            return narrow->Text().c_str();
        }
        catch (...)
        {
            return "";
        }
    }

    // The wide message. A narrow message is converted anew at each call and nothing is kept;
    // a failed conversion gives an empty string. Throws what the conversion throws
    // (std::bad_alloc).
    virtual std::wstring GetWideMessage() const
    {
        if (m_WideMessage)
        {
            return *m_WideMessage;
        }
        const SharedNarrowMessage* narrow = m_NarrowMessage.load(std::memory_order_acquire);
        if (narrow == nullptr)
        {
            return std::wstring();
        }
        std::wstring converted;
        if (!Util::StringConversion::Detail::ConvertStringToWString(narrow->Text(), converted, "",
                                                                    ""))
        {
            return std::wstring();
        }
        return converted;
    }

private:
    // A narrow message and the number of exception objects that hold it. Copies of an exception
    // share one, so copying only raises the count; the last holder deletes it.
    class SharedNarrowMessage
    {
    public:
        explicit SharedNarrowMessage(const std::string& text) : m_Text(text) {}

        const std::string& Text() const noexcept { return m_Text; }

        static void Hold(const SharedNarrowMessage* message) noexcept
        {
            if (message != nullptr)
            {
                message->m_Holders.fetch_add(1, std::memory_order_relaxed);
            }
        }

        static void Release(const SharedNarrowMessage* message) noexcept
        {
            if (message != nullptr &&
                message->m_Holders.fetch_sub(1, std::memory_order_acq_rel) == 1)
            {
                delete message;
            }
        }

    private:
        mutable std::atomic<std::size_t> m_Holders{1};
        const std::string m_Text;
    };

    // Set by the wide constructor; never changed afterwards.
    boost::shared_ptr<const std::wstring> m_WideMessage;
    // Set by the narrow constructor, or filled once by what() from the wide message; this
    // object holds one count of it.
    mutable std::atomic<const SharedNarrowMessage*> m_NarrowMessage;
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
