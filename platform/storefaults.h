// storefaults.h - for tests only: make the store's next record writes fail.
//
// After ZuFailStoreWrites(n) the next n record writes of any thread (a write, an update or a
// delete of a record) fail as a full disk would: the call returns 0 / FALSE with last error
// ERROR_DISK_FULL and nothing of it is stored. ZuFailStoreWrites(0) ends it. No program calls
// this; it lets tests show what a user sees when a save cannot be stored.
#pragma once

void ZuFailStoreWrites(int count);
