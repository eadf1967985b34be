// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/unique_fd.h"

#include <gtest/gtest.h>

#include <fcntl.h>

namespace ondalink {
namespace {

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

// A pipe's two ends: plain descriptors nobody else owns.
std::pair<int, int> makePipe() {
    int ends[2] = {-1, -1};
    EXPECT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    return {ends[0], ends[1]};
}

TEST(UniqueFd, MovesReleasesAndResetsOwnershipAndClosesWhatItOwnsOnce) {
    const auto [a, b] = makePipe();
    {
        UniqueFd first(a);
        UniqueFd moved(std::move(first));
        EXPECT_FALSE(first.isValid()); // NOLINT(bugprone-use-after-move): the moved-from state is the point
        EXPECT_EQ(moved.get(), a);
        UniqueFd assigned(b);
        assigned = std::move(moved); // closes b, takes a
        EXPECT_FALSE(isOpen(b));
        EXPECT_TRUE(isOpen(a));
    }
    EXPECT_FALSE(isOpen(a));

    const auto [c, d] = makePipe();
    UniqueFd owner(c);
    owner.reset(d);
    EXPECT_FALSE(isOpen(c));
    EXPECT_EQ(owner.release(), d);
    EXPECT_FALSE(owner);
    owner.reset(); // owns nothing: closes nothing
    EXPECT_TRUE(isOpen(d));
    ::close(d);
}

} // namespace
} // namespace ondalink
