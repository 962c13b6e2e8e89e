# The stand-in Display applet and the helpers of the runs under Wine: the
# clipboard's text, the text of the logging twin's message box, the windows as
# USER32 sees them, and a program that keeps Wine's desktop process running.
add_library(desk_standin SHARED e2e/applet/desk_standin.cpp e2e/applet/dialog_template.cpp)
set_target_properties(desk_standin PROPERTIES PREFIX "" OUTPUT_NAME desk SUFFIX .cpl)
target_compile_options(desk_standin PRIVATE -O2 -Wall -Wextra)
target_link_options(desk_standin PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--kill-at)
target_link_libraries(desk_standin PRIVATE comctl32 user32 kernel32)

add_executable(clipboard_text e2e/tools/clipboard_text.cpp)
target_compile_options(clipboard_text PRIVATE -Wall -Wextra)
target_link_options(clipboard_text PRIVATE -static -static-libgcc -static-libstdc++)

add_executable(message_box_text e2e/tools/message_box_text.cpp)
target_compile_options(message_box_text PRIVATE -Wall -Wextra)
target_link_options(message_box_text PRIVATE -static -static-libgcc -static-libstdc++)

add_executable(window_tree e2e/tools/window_tree.cpp)
target_compile_options(window_tree PRIVATE -Wall -Wextra)
target_link_options(window_tree PRIVATE -static -static-libgcc -static-libstdc++)

add_executable(hold_desktop e2e/tools/hold_desktop.cpp)
target_compile_options(hold_desktop PRIVATE -Wall -Wextra)
target_link_options(hold_desktop PRIVATE -static -static-libgcc -static-libstdc++ -mwindows)
