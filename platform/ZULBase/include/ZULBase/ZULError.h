// ZULError: error objects and the statuses that carry them.
//
// A status is a 32-bit signed value: non-negative is success, negative is a
// failure. A failure status built by GetReturn carries an error object that
// ZULGetLastError gives back.
//
// Ownership: error objects belong to the framework, never to the caller.
// The framework keeps the most recent kRetained error objects and the most
// recent kRetained failure statuses; an error stays valid while it is among
// them or while a retained status carries it. A run makes a handful of
// errors, so the caller has ample time to read and print them; memory stays
// bounded however many runs a process makes, and everything is freed at exit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ZULBase/ZULUnicodeString.h"

enum ZULErrorType { kZULErrorTypeError = 0, kZULErrorTypeInformation = 4 };

class ZULError {
public:
    static constexpr std::size_t kRetained = 256;

    // severity 1: success (error ignored); severity 2: a failure status
    // carrying error. object is unused and always null. file and line name
    // the statement that built the status.
    static std::int32_t GetReturn(int severity, ZULError* error, void* object, const char* file, int line);
    // The error a failure status carries; null for success, for the plain -1
    // of lower-level operations, and for a status no longer retained.
    static ZULError* ZULGetLastError(std::int32_t status, void* object);
    // Where a retained failure status was built ("module:line"); empty otherwise.
    static std::string GetStatusSource(std::int32_t status);

    const std::string& GetMessageId() const { return messageId_; }
    const std::string& GetCatalogName() const { return catalogName_; }
    const std::vector<ZULUnicodeString>& GetParameters() const { return parameters_; }
    ZULErrorType GetErrorType() const { return type_; }
    // The catalog text of the message with its parameters substituted.
    virtual ZULUnicodeString GetText() const = 0;

protected:
    ZULError(const char* messageId, const char* catalogName);
    virtual ~ZULError();

    std::string messageId_;
    std::string catalogName_;
    std::vector<ZULUnicodeString> parameters_;
    ZULErrorType type_ = kZULErrorTypeError;

private:
    friend struct ZULErrorDeleter;
};

// Deletes a framework-owned error (only the framework's keeper uses it).
struct ZULErrorDeleter {
    void operator()(ZULError* error) const { delete error; }
};
