// SPDX-License-Identifier: Apache-2.0
// ZULError: error objects and the statuses that carry them.
//
// A status is a 32-bit signed value: non-negative is success, negative is a
// failure. A failure status built by GetReturn carries an error object that
// ZULGetLastError gives back.
//
// Ownership: error objects belong to the framework, never to the caller.
// A status keeps leading to its error for as long as the process lives: the
// framework keeps one error per distinct content (message, catalog, type,
// parameters), and the same failure built at the same place gives the same
// status again, so memory grows with the distinct failures a process meets,
// not with their number. Use the error that ZULGetLastError gives: the one
// handed to GetReturn may be let go when an equal one is already kept.
//
// Threads: the errors are kept by one keeper for the whole process, without
// a lock (ErrorKeeper.h): build and read statuses from one thread at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ZULBase/ZULUnicodeString.h"

enum ZULErrorType { kZULErrorTypeError = 0, kZULErrorTypeInformation = 4 };

class ZULError {
public:
    // A failure that carries no error, for when there is not even memory to
    // build one; never the value of a status GetReturn builds.
    static constexpr std::int32_t kFailureWithoutError = INT32_MIN;

    // severity 1: success (error ignored); severity 2: a failure status
    // carrying error. object is unused and always null. file and line name
    // the statement that built the status.
    static std::int32_t GetReturn(int severity, ZULError* error, void* object, const char* file, int line);
    // The error a failure status carries; null for success, for the plain -1
    // of lower-level operations and for a value no status ever had.
    static ZULError* ZULGetLastError(std::int32_t status, void* object);
    // Where a failure status was built ("module:line"); empty otherwise.
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
