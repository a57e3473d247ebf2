// The system's own texts: configuration keys, defaults and message texts.
#pragma once

#define KD_DEFAULT_CAPTION L"KeyDeputy v2.0"
#define KD_DEFAULT_TIP_TEXT L"您正在使用青禾出品的免费小软件KeyDeputy v2.0"
#define KD_DEFAULT_TIP_TITLE L"KeyDeputy v2.0"
#define KD_YES L"是"
#define KD_NO L"否"

// Sections and keys.
#define KD_ROOT L"KeyDeputy"
#define KD_SECTION_SETTINGS L"设置"
#define KD_SECTION_MENU L"菜单"
#define KD_SECTION_TIP L"提示"
#define KD_SECTION_LANGUAGE L"语言"
#define KD_KEY_NAME L"名称"
#define KD_KEY_SINGLE_INSTANCE L"单实例"
#define KD_KEY_AUTOSTART L"自启动"
#define KD_KEY_TIP_SHOW L"显示"
#define KD_KEY_TIP_TEXT L"内容"
#define KD_KEY_TIP_TITLE L"标题"

// Message keys of the 语言 section and their built-in texts.
#define KD_MSG_HOTKEY L"热键注册"
#define KD_MSG_HOTKEY_TEXT L"%s\t热键注册失败！"
#define KD_MSG_EXIT L"退出程序"
#define KD_MSG_EXIT_TEXT L"你确认立即退出程序？"
#define KD_MSG_SHUTDOWN L"强制关机"
#define KD_MSG_SHUTDOWN_TEXT L"此项操作具有一定危险性，你已经保存了所有的工作吗？"
#define KD_MSG_SCREENSHOT L"屏幕截图"
#define KD_MSG_SCREENSHOT_TEXT L"你的选择区域无效！"
#define KD_MSG_REMINDER L"定时提醒"
#define KD_MSG_REMINDER_TEXT L"您的输入不正确，请重新输入。"
#define KD_MSG_RESOLUTION L"分辨率"
#define KD_MSG_RESOLUTION_TEXT L"分辨率设置失败，已经恢复到默认状态！"
#define KD_MSG_AUTOSTART KD_KEY_AUTOSTART
#define KD_MSG_AUTOSTART_TEXT L"检测到您正在临时文件夹中运行程序，不建议你执行此操作。"
#define KD_MSG_REPLACE L"覆盖文件"
#define KD_MSG_REPLACE_TEXT L"%s 已存在。\n要替换它吗？"
// Follows the 退出程序 question while reminders wait; %s is their number.
#define KD_MSG_EXIT_PENDING L"退出提醒"
#define KD_MSG_EXIT_PENDING_TEXT L"还有 %s 个定时提醒未到时间，退出后不会再提醒。"
// The balloon when a screenshot went to the clipboard.
#define KD_MSG_CLIPBOARD L"剪贴板"
#define KD_MSG_CLIPBOARD_TEXT L"截图已放到剪贴板，可以粘贴了。"
#define KD_MSG_WINDOW L"程序窗口"
#define KD_MSG_WINDOW_TEXT L"无法创建程序窗口，程序不能运行。"
#define KD_MSG_AUTOSTART_LEFT L"删除自启动"
#define KD_MSG_AUTOSTART_LEFT_TEXT L"自启动已关闭，但 HKEY_LOCAL_MACHINE 中的自启动项需要管理员权限才能删除。请以管理员身份运行本程序一次。"
#define KD_MSG_SAVE_FAILED L"保存失败"
#define KD_MSG_SAVE_FAILED_TEXT L"截图无法保存到 %s\n图片已放入剪贴板。"
// The platform's reason follows on its own line.
#define KD_MSG_COMMAND L"命令失败"
#define KD_MSG_COMMAND_TEXT L"无法打开“%s”。"

// Reading the configuration again while running.
#define KD_KEY_AUTO_RELOAD L"自动重新加载"
#define KD_MSG_RELOADED L"重新加载配置"
#define KD_MSG_RELOADED_TEXT L"配置已重新加载：%s 个菜单项，%s 个热键。"
#define KD_MSG_RESTART_SETTINGS L"下次启动生效"
#define KD_MSG_RESTART_SETTINGS_TEXT L"名称、单实例、自启动或启动提示的改动下次启动时生效。"
#define KD_MSG_RELOAD_KEPT L"配置未更新"
#define KD_MSG_RELOAD_KEPT_TEXT L"正在运行的配置保持不变。"
#define KD_MSG_NO_MENU L"没有菜单"
#define KD_MSG_NO_MENU_TEXT L"配置文件没有托盘菜单（<菜单> 缺少或没有子项）：%s\n点图标打开内置菜单。"

// Menu vocabulary.
#define KD_MENU_SEPARATOR L"分割条"
#define KD_ATTR_HOTKEY L"快捷键"
#define KD_ATTR_SELECTABLE L"可选"
#define KD_ATTR_CHECKED L"选中"
#define KD_ATTR_PARAMETERS L"参数"
#define KD_ATTR_FOLDER L"起始位置"
#define KD_UNDEFINED_COMMAND L"未定义"
#define KD_RESOLUTION_WORD L"分辨率"
