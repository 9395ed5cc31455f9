#pragma once
// The editor's store kept on disk after every change, so a crash or a careless close loses no
// program; and the comparison with the last known state (file or drive) that tells which programs
// changed.
#include "model/prgstore.h"

#include <optional>
#include <string>
#include <vector>

// Programs whose lines differ between the two stores, in ascending order.
std::vector<int> ChangedPrograms(const PrgStore& store, const PrgStore& reference);
// "0, 3, 16": the program numbers for a message.
std::string ProgramNumbersText(const std::vector<int>& programs);
// Programs holding at least one line.
std::vector<int> NonEmptyPrograms(const PrgStore& store);

// The kept store's file in the application's data folder.
std::string KeptStorePath();

// Writes the store atomically as a program file, creating the folder when needed; the reason of
// a failure, nothing on success.
std::optional<std::string> WriteKeptStore(const std::string& path, const PrgStore& store);

struct KeptStoreRead {
    enum class Status {
        Missing, // no kept store
        Found,   // read whole; `store` holds it (it may be empty)
        Damaged, // unreadable or not exactly as written: never used, not even in part
    };
    Status status = Status::Missing;
    PrgStore store;
    std::string reason; // Damaged: why
};
// Reads a kept store. Only a file exactly as WriteKeptStore writes it counts: anything else (a cut
// file, a hand-edited one, lines beyond the store) is damaged.
KeptStoreRead ReadKeptStore(const std::string& path);

// Moves a damaged kept store out of the way (".damaged" appended, an older one replaced); the new
// name, or nothing when even that failed (the file is then removed if it can be).
std::optional<std::string> SetAsideKeptStore(const std::string& path);
