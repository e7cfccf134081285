#!/usr/bin/env bash
# Takes the README's screenshots: builds the program in Release, starts it on a virtual X
# display in a copy of examples/, and works it as a user would, with keys and mouse clicks
# sent by xdotool: the splash window, examples/primer.dat opened in the main window, the
# results window after "Решить", the report window, the sensitivity window, the step window,
# the help window, the graph window of examples/grafik.dat, the window «Почему нет решения»
# of examples/nesovmest.dat, the tree window «Дерево ветвлений» of examples/celye.lp and the
# user guide that F1 shows. The pictures go to docs/screenshots/*.png. Needs xvfb-run, xdotool
# and ImageMagick's import; openbox, when installed, draws the windows' frames.
#
#   tools/screenshots.sh            # JOBS=2 by default
set -euo pipefail

if [ "${1:-}" = --inside ]; then
    # --- on the virtual display ---------------------------------------------------------
    work=$2 program=$3 out=$4
    cd "$work"

    if command -v openbox >/dev/null; then
        openbox >/dev/null 2>&1 &
        sleep 1
    fi

    # The first visible window whose title matches, waited for up to ten seconds.
    wait_window() {
        local id
        for _ in $(seq 100); do
            id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
            if [ -n "$id" ]; then
                echo "$id"
                return 0
            fi
            sleep 0.1
        done
        echo "no window \"$1\"" >&2
        return 1
    }
    gone() {
        for _ in $(seq 100); do
            xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
            sleep 0.1
        done
        echo "window \"$1\" did not close" >&2
        return 1
    }
    # The window with its frame, once it has been painted.
    shot() {
        sleep 0.7
        import -frame -window "$1" "$out/$2.png"
        echo "  $out/$2.png"
    }
    click() { # window, x, y within it
        xdotool mousemove --window "$1" "$2" "$3" click 1
        sleep 0.3
    }
    open_file() { # "Файл › Открыть файл данных", the file's name typed into the dialog
        click "$main" 20 $((menu / 2))
        xdotool key Down Return
        local dialog
        dialog=$(wait_window "^(Open|Открыть)")
        sleep 0.5
        xdotool windowactivate --sync "$dialog" type --delay 30 "$1"
        xdotool key Return
        gone "^(Open|Открыть)"
    }
    size() { # window -> "width height"
        xdotool getwindowgeometry --shell "$1" | awk -F= '/^WIDTH/{w=$2} /^HEIGHT/{h=$2} END{print w, h}'
    }

    # The program's windows speak the user's language and number format.
    LC_ALL=ru_RU.UTF-8 "$program" >/dev/null 2>&1 &
    pid=$!
    trap 'kill $pid 2>/dev/null || true' EXIT

    splash=$(wait_window "Линейная оптимизация")
    shot "$splash" splash
    xdotool windowactivate --sync "$splash" key Return
    gone "Линейная оптимизация"

    main=$(wait_window "Решение задачи линейного программирования")
    xdotool windowactivate --sync "$main"
    read -r W H < <(size "$main")
    # The menu bar is what the window has above its designed client area of 620 x 487.
    menu=$((H - 487))
    # "Файл", then its first item, "Открыть файл данных".
    open_file primer.dat
    shot "$main" main-window

    # "Решить": anchored to the bottom right, 459, 437 in the design of 620 x 487.
    click "$main" $((W - 620 + 459 + 39)) $((H - 487 + 437 + 12))
    results=$(wait_window "Таблица результатов")
    shot "$results" results-window
    # "Текстовый отчет": anchored to the bottom right, 480, 482 in 679 x 508.
    read -r RW RH < <(size "$results")
    click "$results" $((RW - 679 + 480 + 70)) $((RH - 508 + 482 + 13))
    if report=$(wait_window "О т ч е т" 2>/dev/null); then
        shot "$report" report-window
        xdotool windowactivate --sync "$report" key Escape
        gone "О т ч е т"
    else
        echo "  (no report window to be reached from the results window)"
    fi
    # "Анализ чувствительности": left of "Текстовый отчет", 296, 482 in 679 x 508.
    click "$results" $((RW - 679 + 296 + 90)) $((RH - 508 + 482 + 13))
    ranges=$(wait_window "Анализ чувствительности")
    shot "$ranges" ranges-window
    xdotool windowactivate --sync "$ranges" key Escape
    gone "Анализ чувствительности"
    # "По шагам": the left end of the buttons' row, 8, 482 in 679 x 508; then the next pass
    # (the list has the focus), to show one with its pivot.
    click "$results" $((RW - 679 + 8 + 44)) $((RH - 508 + 482 + 13))
    steps=$(wait_window "Пошаговое решение")
    xdotool windowactivate --sync "$steps" key Down
    shot "$steps" steps-window
    xdotool windowactivate --sync "$steps" key Escape
    gone "Пошаговое решение"
    xdotool windowactivate --sync "$results" key Escape
    gone "Таблица результатов"

    # "Описание", right of "Файл", "Решение" and "Результаты".
    click "$main" 250 $((menu / 2))
    help=$(wait_window "Справка")
    shot "$help" help-window
    xdotool windowactivate --sync "$help" key Escape
    gone "Справка"

    # The graph window of examples/grafik.dat: "Файл › Открыть файл данных", F9 («Решить
    # снова»), then the results window's «Графический метод».
    open_file grafik.dat
    xdotool windowactivate --sync "$main" key F9
    results=$(wait_window "Таблица результатов")
    read -r RW RH < <(size "$results")
    click "$results" $((RW - 679 + 151 + 70)) $((RH - 508 + 482 + 13))
    graph=$(wait_window "Графический метод")
    shot "$graph" graph-window
    xdotool windowactivate --sync "$graph" key Escape
    gone "Графический метод"
    xdotool windowactivate --sync "$results" key Escape
    gone "Таблица результатов"
    # examples/nesovmest.dat has no feasible solution: the message, then the window that
    # says why beside the main window.
    xdotool windowactivate --sync "$main"
    open_file nesovmest.dat
    xdotool windowactivate --sync "$main" key F9
    box=$(wait_window "^Kvado$")
    xdotool windowactivate --sync "$box" key Return
    explain=$(wait_window "Почему нет решения")
    shot "$explain" explain-window
    xdotool windowactivate --sync "$explain" key Escape
    gone "Почему нет решения"
    # examples/celye.lp has whole unknowns: F9 searches for an integer plan, the window
    # «Целочисленное решение» has the focus on «Дерево ветвлений» (space), End shows every node.
    open_file celye.lp
    box=$(wait_window "^Kvado$")
    xdotool windowactivate --sync "$box" key Return
    gone "^Kvado$"
    xdotool windowactivate --sync "$main" key F9
    mipres=$(wait_window "Целочисленное решение")
    xdotool windowactivate --sync "$mipres" key space
    tree=$(wait_window "Дерево ветвлений")
    xdotool windowactivate --sync "$tree" key End
    shot "$tree" tree-window
    xdotool windowactivate --sync "$tree" key Escape
    gone "Дерево ветвлений"
    xdotool windowactivate --sync "$mipres" key Escape
    gone "Целочисленное решение"
    # F1 without a help file: the user guide in a window of the program, searched.
    xdotool windowactivate --sync "$main" key F1
    guide=$(wait_window "Руководство пользователя")
    sleep 0.5
    xdotool windowactivate --sync "$guide"
    sleep 0.5
    xdotool type --delay 30 "Shift"
    xdotool key Return
    shot "$guide" guide-window
    xdotool windowactivate --sync "$guide" key Escape
    gone "Руководство пользователя"
    exit 0
fi

# --- outside: build, prepare, run ---------------------------------------------------------
cd "$(dirname "$0")/.."
root=$(pwd)
for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing" >&2; exit 1; }
done
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKVADO_TESTS=OFF -DKVADO_BENCH=OFF \
    >/dev/null
cmake --build build/release --target kvado -j"${JOBS:-2}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/* "$work/"
mkdir -p docs/screenshots
echo "Screenshots:"
xvfb-run -a -s "-screen 0 1280x900x24" \
    "$root/tools/screenshots.sh" --inside "$work" "$root/build/release/src/kvado" \
    "$root/docs/screenshots"
