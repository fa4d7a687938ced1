# Front door. `make test` and `make demo` work on a fresh Debian machine:
# they install what is missing first.
.PHONY: all bootstrap build host win32 test demo bench size fuzz install kit clean

PREFIX ?= /usr/local

all: build

bootstrap:
	@scripts/bootstrap.sh

build: host win32

host:
	@cmake --preset host >/dev/null
	@cmake --build --preset host -j2

win32:
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32 -j2

# Every peer a test compares with is installed by bootstrap, so here a
# missing one (or a missing LZH corpus) fails its test instead of skipping
# it; what skips all the same is named after each tree's run.
test: bootstrap build
	SFX_REQUIRE_TOOLS=1 ctest --test-dir build/host --output-on-failure
	@scripts/skipped.sh build/host
	scripts/wine-session ctest --test-dir build/win32 --output-on-failure
	@scripts/skipped.sh build/win32
	@scripts/fuzz.sh 10 >build/fuzz.log 2>&1 || { tail -n 40 build/fuzz.log; exit 1; }
	@grep -E '^== |^Done' build/fuzz.log | paste - -

demo: bootstrap build
	scripts/demo.sh

size: win32
	@scripts/size.sh build/win32/bin

bench: bootstrap build
	bench/lzh_decode.sh
	bench/lzh_encode.sh
	bench/cab_unpack.sh
	bench/sizes.sh
	bench/payload_split.sh
	bench/whole_road.sh

# A long fuzz run, each target for SECONDS: make fuzz SECONDS=3600
fuzz: bootstrap
	scripts/fuzz.sh $(or $(SECONDS),300)

# The kit as a user receives it: sfxbuild and lzhdec in PREFIX/bin, the
# Windows parts in PREFIX/share/sfxkit, where sfxbuild finds them.
install: build
	@cmake --install build/host --prefix "$(PREFIX)" >/dev/null
	@cmake --install build/win32 --prefix "$(PREFIX)" >/dev/null
	@echo "installed $(PREFIX)/bin/sfxbuild and the Windows kit in $(PREFIX)/share/sfxkit"

# The same as archives under dist/: a .tar.gz of the installed tree, and a
# .zip of one folder with sfxbuild.exe beside the parts, for Windows users.
kit: build
	scripts/make_kit.sh

clean:
	rm -rf build dist
