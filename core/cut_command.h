// The cutting command over small interfaces, so that it runs without a
// window: the list it walks, the options it reads, the renames it makes.
#pragma once

#include <cstddef>
#include <string>

#include "core/cut_rule.h"

namespace tsly {

class CutListSource {
public:
    virtual ~CutListSource() = default;
    virtual std::size_t Count() const = 0;
    virtual const std::string& Caption(std::size_t index) const = 0;
    virtual bool Checked(std::size_t index) const = 0;
};

class CutEnvironment {
public:
    virtual ~CutEnvironment() = default;
    // Reads the four options afresh; may throw (a settings store error),
    // which ends the command before any file is touched.
    virtual CutOptions ReadOptions() = 0;
    // Renames a file; never replaces an existing one. True on success.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // The run is over: beep and show the completion text.
    virtual void Completed() = 0;
};

struct CutResult {
    std::size_t renamed = 0;  // successful renames, both cuts counted
};

// Runs the command once over every entry of the list.
CutResult RunCutCommand(const CutListSource& list, CutEnvironment& env);

}  // namespace tsly
