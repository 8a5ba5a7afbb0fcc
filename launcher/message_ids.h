#pragma once

// IDs of the executable's string table.
constexpr unsigned kMessageRunObjectNotCreated = 10010;
