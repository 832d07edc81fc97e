#pragma once
// The steps of the window benchmark, each taken as a user takes it and
// timed from outside the program, from another process. Each prints its
// figures on standard output as "name value" lines ("name over:LIMIT" when
// it ran out of its time limit, in seconds) and returns 0 when it measured,
// 1 when it ran over its limit, 2 when it could not be taken (said on
// standard error).

#include <string>

// Starts the program and waits until its main window shows ("window_ms")
// with the operated list filled ("startup_ms"): `storedRows` entries and
// the two group rows.
int LaunchStep(const std::wstring& program, int storedRows, double limitSeconds);

// Waits for a drop of `files` files on the whitelist tab: the drop is done
// when list 401 holds that many rows and the summary is drawn. Writes the
// screen point to drop on ("x y") into `readyFile` once it watches, and
// reads the instant of the drop (seconds since 1970) from `startFile`,
// written by whoever drops. Samples the window's answer time meanwhile.
int DropStep(int files, const std::wstring& readyFile, const std::wstring& startFile,
             double limitSeconds);

// Clicks OK on the whitelist tab and waits until the store holds `files`
// trusted entries and the operated list `files` + 2 rows.
int CommitStep(int files, const std::wstring& store, double limitSeconds);

// The program's working set.
int MemoryStep();

// On the operated tab: the restore link of list row `row` (an entry of
// the store's table `table`), then OK in the confirmation; timed from that
// OK until the entry is gone from the list ("remove_unlisted_ms") and from
// the store as well ("remove_ms").
int RemoveStep(const std::wstring& store, const std::string& table, int row, double limitSeconds);

// On the operated tab: page down `pages` times, each key followed by the
// paint it calls for; the longest and the mean of these ("scroll_max_ms",
// "scroll_mean_ms") and the list's top row at the end ("scroll_top_row").
int ScrollStep(int pages, double limitSeconds);

// The close button; waits for the process to end.
int CloseStep(double limitSeconds);
