// Setting an environment variable of the running process in the platform's
// native text, so that libraries loaded into it (the reference engine) see
// the value through their own reads.
#ifndef ZEVO_HOST_SIM_ENVIRONMENT_H_
#define ZEVO_HOST_SIM_ENVIRONMENT_H_

#include <filesystem>

namespace zevo::hostsim {

// The separator of path lists in environment variables.
inline constexpr std::filesystem::path::value_type kPathListSeparator =
    std::filesystem::path::preferred_separator == '\\' ? ';' : ':';

// Sets `name` (ASCII) to `value`; false when the system refuses.
bool SetEnvironmentText(const char* name, const std::filesystem::path::string_type& value) noexcept;

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_ENVIRONMENT_H_
