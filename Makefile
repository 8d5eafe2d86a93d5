# make [EXE=NAME] [CXX=COMPILER]: builds karvosel-uci with the release preset in
# build-make/ (without the tests) and copies it to NAME, as distributed testing
# workers build an engine; see docs/testing.md. `make clean` removes both.
EXE ?= karvosel-uci
BUILD := build-make

.PHONY: all clean web

# CMake keeps the compiler a build folder was first configured with, so another
# CXX starts the folder afresh.
all:
	@if [ "$$(cat $(BUILD)/cxx 2>/dev/null)" != "$(CXX)" ]; then rm -rf $(BUILD); fi
	cmake --preset release -B $(BUILD) -DKARVOSEL_TESTS=OFF -DCMAKE_CXX_COMPILER="$(CXX)"
	@echo "$(CXX)" >$(BUILD)/cxx
	+cmake --build $(BUILD) --target karvosel-uci
	cp $(BUILD)/protocol/uci/karvosel-uci "$(EXE)"

clean:
	rm -rf $(BUILD)
	rm -f "$(EXE)"

# make web: the web page in build-web/page (docs/web.md). emcc runs its tools
# with node, which finds Debian's node modules only through NODE_PATH.
web:
	cd web && npm ci --no-audit --no-fund
	NODE_PATH=/usr/share/nodejs emcmake cmake --preset web
	NODE_PATH=/usr/share/nodejs cmake --build --preset web -j2
