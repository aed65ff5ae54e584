<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Engine</name>
    <message>
        <location filename="../src/platform/MessageTexts.cpp" line="+17"/>
        <source>没有需要分拣的文件!</source>
        <translation>There are no files to sort!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>没有需要分拣的文件夹（目录）!</source>
        <translation>There are no folders to sort!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>如果选择了只分拣某些文件类型，则类型不应当为空！</source>
        <translation>When only some file types are to be sorted, the list of types must not be empty!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>请选择分拣结果输出目录！</source>
        <translation>Please choose the output directory for the sorted files!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>请输入匹配关键字!</source>
        <translation>Please enter the keywords to match!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>请输入整数序号!</source>
        <translation>Please enter whole numbers for the positions!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>请输入正确的图片宽高!</source>
        <translation>Please enter a valid picture width or height!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>请输入正确的文件大小!</source>
        <translation>Please enter a valid file size!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>分拣工作完成！</source>
        <translation>Sorting finished!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分拣已停止。</source>
        <translation>Sorting stopped.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1。</source>
        <extracomment>A sentence made of another text (the counts of a stopped run).</extracomment>
        <translation>%1.</translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>有 %1 个文件未能分拣：</source>
        <extracomment>%1 files; the failed files follow, one a line.</extracomment>
        <translation>
            <numerusform>%1 file could not be sorted:</numerusform>
            <numerusform>%1 files could not be sorted:</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1：%2</source>
        <extracomment>%1 the path of a file, %2 why it failed.</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>……</source>
        <extracomment>Ends a list that names only the first few.</extracomment>
        <translation>…</translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>有 %1 个被覆盖的文件无法放入回收站，已不能恢复。</source>
        <translation>
            <numerusform>%1 replaced file could not be moved to the Trash and can no longer be restored.</numerusform>
            <numerusform>%1 replaced files could not be moved to the Trash and can no longer be restored.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>分拣记录无法写入，此次分拣不能撤销。</source>
        <translation>The run could not be recorded; it cannot be undone.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>分拣中断：%1</source>
        <extracomment>%1 the system&apos;s words for what went wrong.</extracomment>
        <translation>Sorting interrupted: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无法进入文件夹“%1”：%2，分拣已中止。</source>
        <extracomment>%1 a folder&apos;s path, %2 the reason.</extracomment>
        <translation>Cannot enter the folder “%1”: %2. Sorting was aborted.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>已放置 %1 个，跳过 %2 个，改名 %3 个，覆盖 %4 个，失败 %5 个</source>
        <extracomment>The files of a run by what became of them.</extracomment>
        <translation>placed %1, skipped %2, renamed %3, overwritten %4, failed %5</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>目标文件夹“%1”不在输出目录之内</source>
        <extracomment>%1 a folder&apos;s path below the output directory.</extracomment>
        <translation>the target folder “%1” is not inside the output directory</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>无法建立目标文件夹“%1”：%2</source>
        <extracomment>%1 a folder&apos;s path, %2 the reason.</extracomment>
        <translation>cannot make the target folder “%1”: %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>目标位置“%1”已被同名的文件或链接占用</source>
        <extracomment>%1 a path.</extracomment>
        <translation>the target “%1” is taken by a file or link of the same name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已在目标位置</source>
        <translation>already in place</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不是普通文件（设备、管道或套接字），未打开</source>
        <translation>not a regular file (a device, pipe or socket); not opened</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件在处理期间被改动或替换</source>
        <translation>the file was changed or replaced while it was being handled</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>此符号链接会取代它所指向的文件，未移动</source>
        <translation>this symbolic link would take the place of the file it points to; not moved</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件或文件夹不存在</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>没有权限</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>操作不被允许</source>
        <translation>operation not permitted</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>只读文件系统</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>磁盘空间不足</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>目标文件夹“%1”所在的磁盘空间不足</source>
        <extracomment>A full disk is the target&apos;s: %1 the folder the file was to go to.</extracomment>
        <translation>no space left on the disk of the target folder “%1”</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>超出磁盘配额</source>
        <translation>disk quota exceeded</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>目标文件夹“%1”超出磁盘配额</source>
        <extracomment>A quota is the target&apos;s: %1 the folder the file was to go to.</extracomment>
        <translation>disk quota exceeded in the target folder “%1”</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件名或路径过长</source>
        <translation>file name or path too long</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>符号链接层数过多</source>
        <translation>too many levels of symbolic links</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>链接数过多</source>
        <translation>too many links</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>是一个文件夹</source>
        <translation>is a folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不是文件夹</source>
        <translation>not a folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>输入/输出错误</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不能跨文件系统</source>
        <translation>cannot cross file systems</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>已有同名项目</source>
        <translation>an item of the same name exists</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>正在复制 %1</source>
        <extracomment>%1 a file&apos;s name.</extracomment>
        <translation>Copying %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>正在移动 %1</source>
        <extracomment>%1 a file&apos;s name.</extracomment>
        <translation>Moving %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1（%2 / %3）</source>
        <extracomment>%1 what is being copied, %2 the bytes copied so far, %3 the file&apos;s size.</extracomment>
        <translation>%1 (%2 / %3)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 · %2</source>
        <extracomment>Two parts of the status line.</extracomment>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1· %2</source>
        <extracomment>Two parts of the status line, the first ending in a full-width bracket.</extracomment>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>第 %1 / %2 个文件</source>
        <extracomment>%1 the entry of the list, %2 the entries in it.</extracomment>
        <translation>file %1 of %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>第 %1 / %2 个文件夹</source>
        <extracomment>%1 the entry of the list, %2 the entries in it.</extracomment>
        <translation>folder %1 of %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>剩余约 %1</source>
        <extracomment>%1 a time such as 00:42 or 1:02:03.</extracomment>
        <translation>about %1 left</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>分拣完成：%1</source>
        <extracomment>%1 the counts of the run.</extracomment>
        <translation>Sorting finished: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>分拣已停止：%1</source>
        <extracomment>%1 the counts of the run.</extracomment>
        <translation>Sorting stopped: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>正在撤销 %1</source>
        <extracomment>%1 the name of a file an undo puts back.</extracomment>
        <translation>Undoing %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>撤销完成：%1</source>
        <extracomment>%1 the counts of the undo.</extracomment>
        <translation>Undo finished: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>撤销已停止：%1</source>
        <extracomment>%1 the counts of the undo.</extracomment>
        <translation>Undo stopped: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>撤销未能全部完成：%1</source>
        <extracomment>An undo that left some files as they were. %1 the counts of the undo.</extracomment>
        <translation>Undo not complete: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>移回 %1 个，移除 %2 个，恢复 %3 个，未撤销 %4 个</source>
        <extracomment>The files of an undo: moved back, copies removed (deleted or put in the Trash), replaced files restored from the Trash, files left as they were.</extracomment>
        <translation>moved back %1, removed %2, restored %3, not undone %4</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>源文件</source>
        <translation>Source file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>目标文件夹</source>
        <translation>Target folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>目标文件</source>
        <translation>Target file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>操作</source>
        <translation>Action</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>移动</source>
        <translation>Move</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>询问</source>
        <translation>Ask</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>覆盖</source>
        <translation>Overwrite</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>编号为</source>
        <extracomment>Followed by the numbered name the file gets.</extracomment>
        <translation>Numbered as</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>跳过（同名）</source>
        <translation>Skip (same name)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>只替换旧文件 → 替换</source>
        <translation>Replace only older → replace</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>只替换旧文件 → 保留</source>
        <translation>Replace only older → keep</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>跳过（相同）</source>
        <extracomment>The file there holds the same bytes and stays; the new one is skipped.</extracomment>
        <translation>Skipped (identical)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>跳过</source>
        <translation>Skip</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不能分拣</source>
        <translation>Cannot sort</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>编号</source>
        <extracomment>Files given a numbered name, in a count.</extracomment>
        <translation>Numbered</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>未选中</source>
        <translation>Not selected</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>编号为 %1</source>
        <extracomment>%1 the numbered name.</extracomment>
        <translation>Numbered as %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>不能分拣 %1</source>
        <extracomment>%1 why the file cannot be sorted.</extracomment>
        <translation>Cannot sort: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件已不在分拣放到的位置，未撤销</source>
        <translation>the file is no longer where the run placed it; not undone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件在分拣之后被改动或替换过，未撤销</source>
        <translation>the file was changed or replaced after the run; not undone</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>被覆盖的文件留在回收站：它原来的位置仍被占用</source>
        <translation>the replaced file stays in the Trash: its old place is taken</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>被覆盖的文件当时无法放入回收站，不能恢复</source>
        <translation>the replaced file could not be moved to the Trash at the time and cannot be restored</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>分拣中断时这个文件是否已放好无法确定，未撤销</source>
        <translation>whether this file was placed when the run was cut short cannot be told; not undone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无法移回“%1”：%2</source>
        <extracomment>%1 the path the file came from, %2 the reason.</extracomment>
        <translation>cannot move back to “%1”: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>原来的名字已被占用，已移回并改名</source>
        <translation>its old name was taken; moved back under a numbered name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>源文件已不在或已改动，副本已放入回收站</source>
        <translation>the source is gone or changed; the copy was moved to the Trash</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>无法撤销这个副本：%1</source>
        <extracomment>%1 the reason.</extracomment>
        <translation>cannot undo this copy: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无法从回收站恢复到“%1”：%2</source>
        <extracomment>%1 the path the file is to go back to, %2 the reason.</extracomment>
        <translation>cannot restore from the Trash to “%1”: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>撤销已停止。</source>
        <translation>Undo stopped.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>撤销完成！</source>
        <translation>Undo finished!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>撤销未能全部完成。</source>
        <extracomment>An undo that left some files as they were (named below it).</extracomment>
        <translation>The undo could not put everything back.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>移回 %1 个文件，删除 %2 个副本，从回收站恢复 %3 个文件，删除 %4 个空文件夹。</source>
        <extracomment>%1 files moved back, %2 copies deleted, %3 files restored, %4 empty folders deleted.</extracomment>
        <translation>Files moved back: %1; copies deleted: %2; files restored from the Trash: %3; empty folders deleted: %4.</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>有 %1 个文件需要留意：</source>
        <extracomment>%1 files; they follow, one a line, each with what became of it.</extracomment>
        <translation>
            <numerusform>%1 file needs your attention:</numerusform>
            <numerusform>%1 files need your attention:</numerusform>
        </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>将撤销 %1 开始的分拣（输出目录“%2”）：移回 %3 个文件，删除 %4 个副本，从回收站恢复 %5 个文件。</source>
        <extracomment>%1 when the run began, %2 its output directory, %3 files to move back, %4 copies to delete, %5 files to restore.</extracomment>
        <translation>This undoes the run started at %1 (output directory “%2”): files to move back: %3; copies to delete: %4; files to restore from the Trash: %5.</translation>
    </message>
    <message numerus="yes">
        <location line="+5"/>
        <source>有 %1 个文件在分拣中断时状态不明，将按磁盘上的情况处理。</source>
        <translation>
            <numerusform>%1 file was in an unknown state when the run was cut short; it is handled as found on the disk.</numerusform>
            <numerusform>%1 files were in an unknown state when the run was cut short; they are handled as found on the disk.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>有 %1 个被覆盖的文件不能恢复。</source>
        <translation>
            <numerusform>%1 replaced file cannot be restored.</numerusform>
            <numerusform>%1 replaced files cannot be restored.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>改动过的文件保持原样。是否继续？</source>
        <translation>Files changed since are left as they are. Continue?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>改动过的文件保持原样。</source>
        <extracomment>The same without the question, when nothing is asked.</extracomment>
        <translation>Files changed since are left as they are.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分拣记录中没有这次分拣。</source>
        <translation>This run is not in the run journal.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>撤销本身不能再撤销。</source>
        <translation>An undo cannot itself be undone.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>这次分拣已经撤销过了。</source>
        <translation>This run has been undone already.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>文件</source>
        <extracomment>The window a run was made in.</extracomment>
        <translation>Files</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件夹</source>
        <extracomment>The window a run was made in.</extracomment>
        <translation>Folders</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>按文件名匹配关键字分拣</source>
        <translation>Keywords in the file name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>按文件名分拣</source>
        <translation>By file name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>按文件类型分拣</source>
        <translation>By file type</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>按文件大小分拣</source>
        <translation>By file size</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>按文件日期属性分拣</source>
        <translation>By file date</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>图像文件分拣</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>拍摄日期</source>
        <translation>Date taken</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>按目录名匹配关键字分拣</source>
        <translation>Keywords in the folder name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>按目录名分拣</source>
        <translation>By folder name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>按目录日期属性分拣</source>
        <translation>By folder date</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>撤销</source>
        <extracomment>A run that undid another.</extracomment>
        <translation>Undo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已放置 %1，跳过 %2，改名 %3，覆盖 %4，失败 %5</source>
        <extracomment>Placed, skipped, renamed, overwritten, failed.</extracomment>
        <translation>placed %1, skipped %2, renamed %3, overwritten %4, failed %5</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>移回 %1，移除 %2，恢复 %3，未撤销 %4</source>
        <extracomment>An undo run: moved back, copies removed, restored, left as they were.</extracomment>
        <translation>moved back %1, removed %2, restored %3, not undone %4</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>完成</source>
        <translation>Finished</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>中断</source>
        <translation>Interrupted</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>未正常结束</source>
        <translation>Did not end normally</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1，已撤销</source>
        <extracomment>%1 how the run ended.</extracomment>
        <translation>%1, undone</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>无法导出列表：“%1”不是普通文件（设备、管道或套接字），未被替换。</source>
        <extracomment>%1 the list file&apos;s path.</extracomment>
        <translation>Cannot export the list: “%1” is not a regular file (a device, pipe or socket); it was not replaced.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法导入列表：“%1”太大（上限为 64 MiB 或 100 万行），未导入任何条目。</source>
        <extracomment>%1 the list file&apos;s path.</extracomment>
        <translation>Cannot import the list: “%1” is too large (at most 64 MiB or 1,000,000 lines); nothing was imported.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法导入列表：“%1”不是普通文件（设备、管道或套接字），未被打开。</source>
        <extracomment>%1 the list file&apos;s path.</extracomment>
        <translation>Cannot import the list: “%1” is not a regular file (a device, pipe or socket); it was not opened.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <extracomment>%1 the list file&apos;s path, %2 the system&apos;s reason.</extracomment>
        <translation>Cannot create file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <extracomment>%1 the list file&apos;s path, %2 the system&apos;s reason.</extracomment>
        <translation>Cannot open file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>无法保存设置：“%1”不是普通文件（设备、管道或套接字），未被改动。</source>
        <extracomment>%1 the settings file&apos;s path.</extracomment>
        <translation>Cannot save the settings: “%1” is not a regular file (a device, pipe or socket); it was not changed.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法保存设置：“%1”第 %2 行。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: line %2 of “%1” cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法保存设置：“%1”第 %2 行含有空字符（NUL），其后的内容无法保留。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: line %2 of “%1” holds a NUL character, and what follows it cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法保存设置：“%1”第 %2 行既不是“键=值”，也不是节名或注释，无法保留。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: line %2 of “%1” is neither “key=value” nor a section name or a comment, and cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法保存设置：“%1”第 %2 行的键名为空，无法保留。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: line %2 of “%1” has an empty key and cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法保存设置：“%1”第 %2 行的节名缺少“]”，其后的内容无法保留。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: the section name on line %2 of “%1” lacks its “]”, and what follows cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法保存设置：“%1”第 %2 行在节名的“]”之后还有文字，无法保留。文件未被改动，请修改或删除该行后再试。</source>
        <extracomment>%1 the settings file&apos;s path, %2 the line.</extracomment>
        <translation>Cannot save the settings: line %2 of “%1” has text after the “]” of its section name and cannot be kept. The file was not changed; correct or delete that line and try again.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法保存设置：保存会丢失“%1”中原有的内容。文件未被改动。</source>
        <extracomment>%1 the settings file&apos;s path.</extracomment>
        <translation>Cannot save the settings: saving would lose what “%1” holds. The file was not changed.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Unable to write to %1</source>
        <extracomment>%1 the settings file&apos;s path.</extracomment>
        <translation>Unable to write to %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>方案名称不能为空。</source>
        <translation>A plan needs a name.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>方案名称“%1”太长：最多 64 个字节（约 21 个汉字）。</source>
        <extracomment>%1 the plan&apos;s name as typed.</extracomment>
        <translation>The plan name “%1” is too long: at most 64 bytes.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>方案名称“%1”不能使用：名称中不能有方括号“[”“]”或控制字符，首尾不能有空格。</source>
        <extracomment>%1 the plan&apos;s name as typed.</extracomment>
        <translation>The plan name “%1” cannot be used: a name may not hold the brackets “[” “]” or control characters, nor begin or end with a space.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>分拣记录无法打开。</source>
        <translation>The run journal cannot be opened.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分拣记录中还没有分拣。</source>
        <translation>The run journal holds no runs yet.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分拣记录无法打开，不能撤销。</source>
        <translation>The run journal cannot be opened; nothing can be undone.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>没有可以撤销的分拣。</source>
        <translation>There is no run that can be undone.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>没有撤销。</source>
        <translation>Nothing was undone.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>预览：%1</source>
        <extracomment>%1 the actions of a plan with their counts.</extracomment>
        <translation>Preview: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>预览：没有文件</source>
        <translation>Preview: no files</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 %2 个</source>
        <extracomment>%1 an action of a plan, %2 how many files it takes.</extracomment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1，%2</source>
        <extracomment>Two parts of a list on one line.</extracomment>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未能分拣的文件：</source>
        <extracomment>The failed files follow, one a line.</extracomment>
        <translation>Files that could not be sorted:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件%1已存在，是否覆盖？</source>
        <extracomment>%1 the path of the file already there.</extracomment>
        <translation>The file %1 exists already. Replace it?</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>  现有文件：%1，%2</source>
        <extracomment>%1 the file&apos;s size, %2 its time; lined up with the next line.</extracomment>
        <translation>  Existing file: %1, %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>  新文件：  %1，%2</source>
        <extracomment>%1 the file&apos;s size, %2 its time; lined up with the line before.</extracomment>
        <translation>  New file:      %1, %2</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%1 字节</source>
        <translation>
            <numerusform>%1 byte</numerusform>
            <numerusform>%1 bytes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%1（%2 字节）</source>
        <extracomment>%1 the size in KB, MB, ..., %2 in bytes.</extracomment>
        <translation>
            <numerusform>%1 (%2 byte)</numerusform>
            <numerusform>%1 (%2 bytes)</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1（较新）</source>
        <extracomment>%1 a time.</extracomment>
        <translation>%1 (newer)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>[y 是 / n 否 / a 全部是 / N 全部否 / s 停止]（默认 n）：</source>
        <extracomment>The letters are what the user types; keep them.</extracomment>
        <translation>[y yes / n no / a yes to all / N no to all / s stop] (default n): </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>zanfeld-cli: %1</source>
        <extracomment>%1 why the run was refused.</extracomment>
        <translation>zanfeld-cli: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>zanfeld-cli: %1（%2）</source>
        <extracomment>%1 why the run was refused, %2 the option at fault.</extracomment>
        <translation>zanfeld-cli: %1 (%2)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>“%1”不能作为输出目录：%2</source>
        <extracomment>%1 the output directory, %2 why it cannot be one.</extracomment>
        <translation>“%1” cannot be the output directory: %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>“%1”不是文件夹</source>
        <extracomment>%1 a path; a reason the output directory cannot be made.</extracomment>
        <translation>“%1” is not a folder</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>它在系统的虚拟文件系统（如 /proc、/sys）之中</source>
        <extracomment>A reason the output directory cannot be used.</extracomment>
        <translation>it lies in a file system the system keeps for itself (such as /proc or /sys)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1：第一个字符（%2）在最后一个字符（%3）之后</source>
        <extracomment>%1 the option, %2 the first character typed, %3 the last.</extracomment>
        <translation>%1: the first character (%2) comes after the last (%3)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1列表“%2”中没有路径：它是空的，或者不是文本文件。</source>
        <extracomment>%1 &quot;There are no files to sort!&quot; or the same of folders, %2 the list file&apos;s path.</extracomment>
        <translation>%1 The list “%2” holds no paths: it is empty or not a text file.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1列表“%2”中的路径都不是现有的文件。</source>
        <extracomment>%1 &quot;There are no files to sort!&quot;, %2 the list file&apos;s path.</extracomment>
        <translation>%1 None of the paths in the list “%2” is an existing file.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1列表“%2”中的路径都不是现有的文件夹。</source>
        <extracomment>%1 &quot;There are no folders to sort!&quot;, %2 the list file&apos;s path.</extracomment>
        <translation>%1 None of the paths in the list “%2” is an existing folder.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1：应为不小于 %2 的整数，而不是“%3”</source>
        <extracomment>%1 the option, %2 the smallest number it takes, %3 what was typed.</extracomment>
        <translation>%1: expected a whole number of %2 or more, not “%3”</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1：应为 %2 到 %3 之间的整数，而不是“%4”</source>
        <extracomment>%1 the option, %2 the smallest number it takes, %3 the largest, %4 what was typed.</extracomment>
        <translation>%1: expected a whole number from %2 to %3, not “%4”</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1：“%2”不是可选的值（可选：%3）</source>
        <extracomment>%1 the option, %2 what was typed, %3 the values it takes.</extracomment>
        <translation>%1: “%2” is not one of the choices (%3)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>不认识的选项：%1</source>
        <extracomment>%1 the options typed.</extracomment>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>多余的参数：%1</source>
        <extracomment>%1 the words typed.</extracomment>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 后面缺少值</source>
        <extracomment>%1 the option.</extracomment>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 和 %2 不能同时使用</source>
        <extracomment>%1 and %2 two options.</extracomment>
        <translation>%1 and %2 cannot be used together</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>请给出命令：sort、sort-folders、undo 或 history</source>
        <extracomment>The command names stay as they are.</extracomment>
        <translation>Give a command: sort, sort-folders, undo or history</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>不认识的命令：%1（命令有 sort、sort-folders、undo 和 history）</source>
        <extracomment>%1 the word typed; the command names stay as they are.</extracomment>
        <translation>Unknown command: %1 (the commands are sort, sort-folders, undo and history)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>加上 --help 运行可查看更多说明。</source>
        <translation>Run with --help for more information.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1：没有设置文件“%2”</source>
        <extracomment>%1 the option, %2 the path.</extracomment>
        <translation>%1: there is no settings file %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1：请选择分拣方式：%2</source>
        <extracomment>%1 the option, %2 the criteria&apos;s names, which stay as they are.</extracomment>
        <translation>%1: choose the criterion: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1：请以 A:B 给出第一个和最后一个字符，例如 1:4</source>
        <extracomment>%1 the option.</extracomment>
        <translation>%1: give the first and the last character as A:B, e.g. 1:4</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1：应为 &gt;N 或 &lt;N，N 以 KB 或 MB 计，例如“&gt;10MB”，而不是“%2”</source>
        <extracomment>%1 the option, %2 what was typed.</extracomment>
        <translation>%1: expected &gt;N or &lt;N with N in KB or MB, e.g. &apos;&gt;10MB&apos;, not &apos;%2&apos;</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1：应为 &lt;日期 或 &gt;日期，日期写作 YYYY-MM-DD [HH:MM[:SS]]，例如“&lt;2015-05-06 12:00”，而不是“%2”</source>
        <extracomment>%1 the option, %2 what was typed.</extracomment>
        <translation>%1: expected &lt;DATE or &gt;DATE with DATE as YYYY-MM-DD [HH:MM[:SS]], e.g. &apos;&lt;2015-05-06 12:00&apos;, not &apos;%2&apos;</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1：应为 &gt;=N、&lt;=N 或 =N 像素，例如“&gt;=800”，而不是“%2”</source>
        <extracomment>%1 the option, %2 what was typed.</extracomment>
        <translation>%1: expected &gt;=N, &lt;=N or =N pixels, e.g. &apos;&gt;=800&apos;, not &apos;%2&apos;</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1：应为 JPG、BMP、GIF、PNG、TIF 中的图片类型，以逗号分隔，而不是“%2”</source>
        <extracomment>%1 the option, %2 what was typed.</extracomment>
        <translation>%1: expected picture types from JPG, BMP, GIF, PNG, TIF separated by commas, not &apos;%2&apos;</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1：应为 JPG、JPEG、HEIC、HEIF、PNG、TIF、TIFF、WEBP、DNG、CR2、CR3、NEF、ARW、ORF、RW2、MP4、MOV、3GP、M4V、MKV 中的类型，以逗号分隔，而不是“%2”</source>
        <extracomment>%1 the option, %2 what was typed.</extracomment>
        <translation>%1: expected types from JPG, JPEG, HEIC, HEIF, PNG, TIF, TIFF, WEBP, DNG, CR2, CR3, NEF, ARW, ORF, RW2, MP4, MOV, 3GP, M4V, MKV, separated by commas, not “%2”</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1：应为输出目录下一个文件夹的名称（不含“/”），而不是“%2”</source>
        <extracomment>%1 the option, %2 what was typed.</extracomment>
        <translation>%1: expected the name of one folder in the output folder (without “/”), not “%2”</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1：应为以逗号分隔的文件类型，例如“*.txt,*.doc”或“txt,doc”</source>
        <extracomment>%1 the option.</extracomment>
        <translation>%1: expected file types separated by commas, e.g. &apos;*.txt,*.doc&apos; or &apos;txt,doc&apos;</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1：没有文件 %2</source>
        <extracomment>%1 the option or FILE, %2 the path.</extracomment>
        <translation>%1: there is no file %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1：没有文件夹 %2</source>
        <extracomment>%1 the option or FOLDER, %2 the path.</extracomment>
        <translation>%1: there is no folder %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>（这是文件夹：请用 --walk 加入其中的文件）</source>
        <extracomment>Said after a path given as a file that is a folder; --walk stays as it is.</extracomment>
        <translation> (a folder: add its files with --walk)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>zanfeld-cli: undo：没有可以提问的终端；不经询问直接撤销请加 --yes</source>
        <extracomment>The option names stay as they are.</extracomment>
        <translation>zanfeld-cli: undo: there is no terminal to ask on; give --yes to undo without asking</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--same ask：没有可以提问的终端；请用 --yes 或 --no 给出回答，或选择其他的 --same</source>
        <extracomment>The option names stay as they are.</extracomment>
        <translation>--same ask: there is no terminal to ask on; give --yes or --no for the answer, or choose another --same</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>没有名为“%1”的方案（zanfeld-cli plans 列出所有方案）</source>
        <extracomment>%1 a plan&apos;s name. &quot;zanfeld-cli plans&quot; stays as it is.</extracomment>
        <translation>There is no plan named “%1” (zanfeld-cli plans lists them all)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>“%1”是文件夹的方案：请用 sort-folders 运行它</source>
        <extracomment>%1 a plan&apos;s name; sort-folders stays as it is.</extracomment>
        <translation>“%1” is a folder plan: run it with sort-folders</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>“%1”是文件的方案：请用 sort 运行它</source>
        <extracomment>%1 a plan&apos;s name; sort stays as it is.</extracomment>
        <translation>“%1” is a file plan: run it with sort</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>sort-folders 一次只能运行一个方案</source>
        <translation>sort-folders runs one plan at a time</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设置文件中还没有方案。</source>
        <translation>The settings file holds no plans yet.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>方案“%1”已保存。</source>
        <translation>Plan “%1” saved.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>方案“%1”已删除。</source>
        <translation>Plan “%1” deleted.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--folders：文件夹的方案只能用 --by keys 或 --by name</source>
        <extracomment>The option names and values stay as they are.</extracomment>
        <translation>--folders: a folder plan takes only --by keys or --by name</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>方案“%1”无法保存：%2</source>
        <extracomment>%1 a plan&apos;s name, %2 why it could not be stored.</extracomment>
        <translation>Plan “%1” could not be saved: %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>“%1”是文件夹的方案：自动分拣只能用文件的方案</source>
        <extracomment>%1 a plan&apos;s name.</extracomment>
        <translation>“%1” is a folder plan: a watch takes file plans only</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>方案“%1”遇到同名文件时询问，而自动分拣时没有人回答：请改用“相同则跳过”（--same identical）</source>
        <extracomment>%1 a plan&apos;s name; “相同则跳过” is the same-name answer of that name in the window.</extracomment>
        <translation>Plan “%1” asks about files of the same name, and nobody is there to answer during a watch: use “Skip if identical” (--same identical) instead</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>watch：请用 --plan 给出至少一个方案，或使用 --from-settings</source>
        <extracomment>The option names stay as they are.</extracomment>
        <translation>watch: give at least one plan with --plan, or use --from-settings</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>watch：请给出要监视的文件夹，或使用 --from-settings</source>
        <extracomment>The option names stay as they are.</extracomment>
        <translation>watch: give the folders to watch, or use --from-settings</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>--from-settings 不能与监视的文件夹、--plan、--depth 或 --all 同时使用</source>
        <extracomment>The option names stay as they are.</extracomment>
        <translation>--from-settings cannot be combined with watched folders, --plan, --depth or --all</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>设置文件“%1”中没有打开的监视文件夹</source>
        <extracomment>%1 the settings file&apos;s path.</extracomment>
        <translation>The settings file “%1” has no watched folder switched on</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>监视的文件夹“%1”在输出目录“%2”之中：自动分拣从不分拣自己的输出</source>
        <extracomment>%1 a watched folder, %2 a plan&apos;s output folder.</extracomment>
        <translation>The watched folder “%1” lies inside the output folder “%2”: a watch never sorts its own output</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>已经有一个使用同一设置文件的自动分拣在运行（进程 %1）</source>
        <extracomment>%1 the process number of the watch that runs.</extracomment>
        <translation>A watch with the same settings file is already running (process %1)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>无法建立自动分拣的锁文件“%1”：%2</source>
        <extracomment>%1 the lock file&apos;s path, %2 why.</extracomment>
        <translation>Cannot make the watch&apos;s lock file “%1”: %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>无法监视文件夹：%1</source>
        <extracomment>%1 why the system gives no notice of new files.</extracomment>
        <translation>Cannot watch folders: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>自动分拣开始，监视的文件夹：%1</source>
        <extracomment>%1 the watched folders, separated by commas.</extracomment>
        <translation>Watch started; watched folders: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>自动分拣已停止。</source>
        <translation>Watch stopped.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 自动分拣 %2 个文件：放置 %3 个，跳过 %4 个，失败 %5 个（分拣记录 %6）</source>
        <extracomment>One line a sorted batch in a service&apos;s log: %1 the time, %2 files, then placed, skipped and failed ones, %6 the run&apos;s number in the history.</extracomment>
        <translation>%1 sorted %2 files: %3 placed, %4 skipped, %5 failed (run %6)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 自动分拣 %2 个文件：放置 %3 个，跳过 %4 个，失败 %5 个（未记录）</source>
        <extracomment>The same for a run the journal could not record.</extracomment>
        <translation>%1 sorted %2 files: %3 placed, %4 skipped, %5 failed (not recorded)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 自动分拣 %2 个文件未能开始：%3</source>
        <extracomment>%1 the time, %2 files, %3 why the run did not begin.</extracomment>
        <translation>%1 could not begin sorting %2 files: %3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>监视的文件夹“%1”不存在：它出现后开始监视</source>
        <extracomment>%1 a watched folder.</extracomment>
        <translation>The watched folder “%1” does not exist: it is watched once it appears</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>监视的文件夹“%1”已不存在：它再出现后继续监视</source>
        <extracomment>%1 a watched folder.</extracomment>
        <translation>The watched folder “%1” is gone: it is watched again once it is back</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>监视的文件夹“%1”已出现：查看其中的文件并继续监视</source>
        <extracomment>%1 a watched folder.</extracomment>
        <translation>The watched folder “%1” is back: looking at its files and watching it again</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>无法等待文件夹“%1”出现：无法监视“%2”：%3</source>
        <extracomment>%1 a missing watched folder, %2 the folder above it that could not be watched, %3 why.</extracomment>
        <translation>Cannot wait for the folder “%1” to appear: cannot watch “%2”: %3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>无法监视文件夹“%1”：已达到系统允许的监视数上限（fs.inotify.max_user_watches），其中新到的文件不会被分拣；请提高这个上限，然后重新启动自动分拣</source>
        <extracomment>%1 a folder; fs.inotify.max_user_watches is the system setting&apos;s name.</extracomment>
        <translation>Cannot watch the folder “%1”: the system&apos;s limit of watches (fs.inotify.max_user_watches) is reached, so files arriving there are not sorted; raise the limit, then start the watch again</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>另有 %1 个文件夹也因这个上限无法监视</source>
        <extracomment>%1 folders.</extracomment>
        <translation>%1 more folders cannot be watched for the same limit</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无法监视文件夹“%1”：%2</source>
        <extracomment>%1 a folder, %2 why.</extracomment>
        <translation>Cannot watch the folder “%1”: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>系统的事件队列已满，有些通知丢失了：重新查看所有监视的文件夹</source>
        <translation>The system&apos;s event queue overflowed and some notices were lost: looking at every watched folder again</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>自动</source>
        <extracomment>Marks a run the watcher made by itself in a list of runs.</extracomment>
        <translation>Auto</translation>
    </message>
</context>
<context>
    <name>FormParts</name>
    <message>
        <location filename="../src/ui/windows/FormParts.cpp" line="+80"/>
        <source>分拣进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>开始处理(&amp;S)</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>停止(&amp;T)</source>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>关于(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
</context>
<context>
    <name>KeywordPage</name>
    <message>
        <location filename="../src/ui/windows/KeywordPage.cpp" line="+14"/>
        <source>     按文件名匹配关键字分拣  </source>
        <translation>     Sort by keywords in the name  </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>请输入关键字（多个关键字以空格分隔）：               </source>
        <translation>Enter keywords (separate several with spaces):               </translation>
    </message>
</context>
<context>
    <name>NamePage</name>
    <message>
        <location filename="../src/ui/windows/NamePage.cpp" line="+17"/>
        <source>     按文件名称分拣 </source>
        <translation>     Sort by name </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>字符到：</source>
        <translation>to</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>字符</source>
        <translation>inclusive</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>从第几个字符</source>
        <translation>From character</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>到第几个字符</source>
        <translation>To character</translation>
    </message>
</context>
<context>
    <name>PlanCsv</name>
    <message>
        <location filename="../src/ui/preview/PlanCsv.cpp" line="+87"/>
        <source>无法导出预览：“%1”不是普通文件（设备、管道或套接字），未被替换。</source>
        <translation>Cannot export the preview: &quot;%1&quot; is not a regular file (it is a device, pipe or socket) and was left as it is.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Cannot create file &quot;%1&quot;. %2</translation>
    </message>
</context>
<context>
    <name>PlanStrip</name>
    <message>
        <location filename="../src/ui/windows/PlanStrip.cpp" line="+23"/>
        <source>方案</source>
        <translation>Plan</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>保存方案…</source>
        <translation>Save plan…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除方案</source>
        <translation>Delete plan</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>方案“%1”已不存在。</source>
        <translation>The plan “%1” no longer exists.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>方案名称：</source>
        <translation>Plan name:</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>已有名为“%1”的方案，是否替换？</source>
        <translation>A plan named “%1” exists already. Replace it?</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>是否删除方案“%1”？</source>
        <translation>Delete the plan “%1”?</translation>
    </message>
</context>
<context>
    <name>ReplaceQuestion</name>
    <message>
        <location filename="../src/ui/run/ReplaceQuestion.cpp" line="+29"/>
        <source>全部是(&amp;A)</source>
        <translation>Yes to &amp;All</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全部否(&amp;O)</source>
        <translation>N&amp;o to All</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>停止(&amp;S)</source>
        <translation>&amp;Stop</translation>
    </message>
    <message numerus="yes">
        <location line="+61"/>
        <source>%n 字节</source>
        <translation>
            <numerusform>%n byte</numerusform>
            <numerusform>%n bytes</numerusform>
        </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1（%2 字节）</source>
        <translation>%1 (%2 bytes)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1（较新）</source>
        <translation>%1 (newer)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>现有文件</source>
        <translation>Existing file</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>新文件</source>
        <translation>New file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>大小：</source>
        <translation>Size:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>修改时间：</source>
        <translation>Modified:</translation>
    </message>
</context>
<context>
    <name>ResultGroup</name>
    <message>
        <location filename="../src/ui/windows/ResultGroup.cpp" line="+20"/>
        <source>分拣结果</source>
        <translation>Output</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分拣结果输出到：</source>
        <translation>Output folder:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>选择</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>目标文件夹下存在同名文件时：</source>
        <translation>When the name is taken:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>覆盖</source>
        <translation>Overwrite</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>询问</source>
        <translation>Ask</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>跳过</source>
        <translation>Skip</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>自动编号文件名</source>
        <translation>Number the name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>按文件修改时间只替换旧文件</source>
        <translation>Replace only older files</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>相同则跳过</source>
        <translation>Skip if identical</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>请选择文件夹</source>
        <translation>Choose a folder</translation>
    </message>
</context>
<context>
    <name>RunControls</name>
    <message>
        <location filename="../src/ui/run/RunControls.cpp" line="+27"/>
        <source>文件%1已存在，是否覆盖？</source>
        <translation>The file %1 exists already. Replace it?</translation>
    </message>
</context>
<context>
    <name>RunStatusText</name>
    <message numerus="yes">
        <location filename="../src/ui/run/RunStatusText.cpp" line="+21"/>
        <source>列表中共有 %n 个文件夹</source>
        <translation>
            <numerusform>%n folder in the list</numerusform>
            <numerusform>%n folders in the list</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>列表中共有 %n 个文件</source>
        <translation>
            <numerusform>%n file in the list</numerusform>
            <numerusform>%n files in the list</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SourceListGroup</name>
    <message>
        <location filename="../src/ui/windows/SourceListGroup.cpp" line="+51"/>
        <source>清空列表</source>
        <translation>Clear list</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>导出列表</source>
        <translation>Export list</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>导入列表</source>
        <translation>Import list</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>当前文件列表为空！</source>
        <translation>The list is empty!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>列表文件(*.lst)</source>
        <translation>List files (*.lst)</translation>
    </message>
    <message numerus="yes">
        <location line="+9"/>
        <source>有 %n 个文件名中含有换行符，未能写入列表文件。</source>
        <translation>
            <numerusform>%n name contains a line break and was not written to the list file.</numerusform>
            <numerusform>%n names contain a line break and were not written to the list file.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SwitchStrip</name>
    <message>
        <location filename="../src/ui/windows/SwitchStrip.cpp" line="+14"/>
        <source>文件分拣</source>
        <translation>Sort files</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件夹（目录）分拣</source>
        <translation>Sort folders</translation>
    </message>
</context>
<context>
    <name>zanfeld::AutoSortDialog</name>
    <message>
        <location filename="../src/ui/dialogs/AutoSortDialog.cpp" line="+53"/>
        <source>%1 - 自动分拣</source>
        <translation>%1 - Auto-sort</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>自动分拣的文件夹</source>
        <translation>Watched folders</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>开启</source>
        <translation>On</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>文件夹</source>
        <translation>Folder</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>方案</source>
        <translation>Plan</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>子目录层数</source>
        <translation>Depth</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>添加文件夹…</source>
        <translation>Add folder…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>移除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>包括下级目录的层数：</source>
        <translation>Levels of sub-folders:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>所有下级目录</source>
        <translation>All sub-folders</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+84"/>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>自动分拣正在运行（进程号 %1）。</source>
        <translation>The watch is running (process %1).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>自动分拣没有运行。</source>
        <translation>The watch is not running.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>最近一批：%1，放置了 %2 个文件。</source>
        <translation>Last batch: %1, %2 files placed.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>最近一批：还没有自动分拣过。</source>
        <translation>Last batch: none yet.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>请至少选择一个方案。</source>
        <translation>Choose at least one plan.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>文件分拣方案“%1”已不存在。</source>
        <translation>The file plan “%1” no longer exists.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>方案“%1”在目标文件夹下存在同名文件时要询问，自动分拣时无人回答。请把它的同名文件处理改为“相同则跳过”并保存后再选用。</source>
        <translation>Plan “%1” asks when a file of the same name is in the target folder, and nobody is there to answer during a watch. Change its answer to “Skip if identical”, save it, then choose it again.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>请选择要自动分拣的文件夹</source>
        <translation>Choose the folder to keep sorted</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>文件夹“%1”不存在。</source>
        <translation>The folder “%1” does not exist.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>文件夹“%1”已在自动分拣之列。</source>
        <translation>The folder “%1” is watched already.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>还没有文件分拣方案。请先在文件分拣窗口中用“保存方案…”保存一个。</source>
        <translation>There are no file plans yet. Save one first with “Save plan…” in the file window.</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>自动分拣没有及时停止，它会在处理完手头的文件后停止。</source>
        <translation>The watch did not stop in time; it stops once it has finished the files in hand.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>无法删除登录时启动的项目 %1：%2</source>
        <translation>Cannot remove the login entry %1: %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Zanfeld 自动分拣</source>
        <translation>Zanfeld auto-sort</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无法写入登录时启动的项目 %1：%2</source>
        <translation>Cannot write the login entry %1: %2</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>正在运行的自动分拣没有及时停止，新的设置要等它再次启动后才生效。</source>
        <translation>The running watch did not stop in time; the new settings apply once it starts again.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>找不到 zanfeld-cli，自动分拣无法启动。</source>
        <translation>zanfeld-cli was not found; the watch cannot start.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>无法启动 %1：%2</source>
        <translation>Cannot start %1: %2</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>自动分拣启动后没有运行起来。在终端中运行以下命令可看到原因：
%1</source>
        <translation>The watch stopped right after it started. Run this command in a terminal to see why:
%1</translation>
    </message>
</context>
<context>
    <name>zanfeld::PlanPickDialog</name>
    <message>
        <location filename="../src/ui/dialogs/PlanPickDialog.cpp" line="+18"/>
        <source>%1 - 选择方案</source>
        <translation>%1 - Choose plans</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>自动分拣时依次应用的方案（按勾选的先后）：</source>
        <translation>Plans applied in turn (in the order ticked):</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>应用顺序：%1</source>
        <translation>Order: %1</translation>
    </message>
</context>
<context>
    <name>zanfeld::PlanTableModel</name>
    <message numerus="yes">
        <location filename="../src/ui/preview/PlanTableModel.cpp" line="+104"/>
        <source>共 %n 个文件</source>
        <translation>
            <numerusform>%n file</numerusform>
            <numerusform>%n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>共 %n 个文件，%1 次放置：%2</source>
        <translation>
            <numerusform>%n file, %1 placements: %2</numerusform>
            <numerusform>%n files, %1 placements: %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>共 %n 个文件：%1</source>
        <translation>
            <numerusform>%n file: %1</numerusform>
            <numerusform>%n files: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>zanfeld::PreviewWindow</name>
    <message>
        <location filename="../src/ui/preview/PreviewWindow.cpp" line="+23"/>
        <source>%1 - 预览</source>
        <translation>%1 - Preview</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>只看同名冲突</source>
        <translation>Name clashes only</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>只看问题</source>
        <translation>Problems only</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>将整个预览（不论筛选）保存为 CSV 文件</source>
        <translation>Save the whole preview (whatever the filter) as a CSV file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
</context>
<context>
    <name>zanfeld::RunHistoryDialog</name>
    <message>
        <location filename="../src/ui/history/RunHistoryDialog.cpp" line="+23"/>
        <source>%1 - 分拣记录</source>
        <translation>%1 - History</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>开始时间</source>
        <translation>Started</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>窗口</source>
        <translation>Window</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>分拣方式</source>
        <translation>Sorted by</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>操作</source>
        <translation>Action</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>输出目录</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>撤销所选分拣</source>
        <translation>Undo selected run</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>%1（自动）</source>
        <translation>%1 (auto)</translation>
    </message>
</context>
<context>
    <name>zanfeld::SortIllustration</name>
    <message>
        <location filename="../src/ui/windows/SortIllustration.cpp" line="+96"/>
        <source>西游记.txt</source>
        <translation>Rome trip.txt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>东游记.doc</source>
        <translation>Oslo trip.doc</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+2"/>
        <location line="+17"/>
        <location line="+2"/>
        <source>游记</source>
        <translation>trip</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>西游记</source>
        <translation>Rome trip</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>东游记</source>
        <translation>Oslo trip</translation>
    </message>
</context>
<context>
    <name>zanfeld::SortWindow</name>
    <message>
        <location filename="../src/ui/windows/SortWindow.cpp" line="+154"/>
        <source>早于</source>
        <translation>earlier than</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>晚于</source>
        <translation>later than</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>分拣方式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <location line="-130"/>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <location line="+455"/>
        <source>分拣记录</source>
        <translation>History</translation>
    </message>
    <message>
        <location line="-239"/>
        <source>分拣正在进行，是否停止并退出？</source>
        <translation>Sorting is in progress. Stop it and quit?</translation>
    </message>
    <message>
        <location line="-215"/>
        <source>筛选</source>
        <translation>Filter</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>预览(&amp;P)</source>
        <translation>&amp;Preview</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>撤销上次分拣(&amp;U)</source>
        <translation>&amp;Undo last run</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分拣记录(&amp;H)</source>
        <translation>&amp;History</translation>
    </message>
    <message>
        <location line="+279"/>
        <source>分拣记录无法打开，不能撤销。</source>
        <translation>The run journal cannot be opened; nothing can be undone.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>没有可以撤销的分拣。</source>
        <translation>There is no run that can be undone.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>分拣记录无法打开。</source>
        <translation>The run journal cannot be opened.</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>预览：%1</source>
        <translation>Preview: %1</translation>
    </message>
</context>
<context>
    <name>zanfeld::TForm1</name>
    <message>
        <location filename="../src/ui/windows/Unit1.cpp" line="+89"/>
        <source>要分拣的文件</source>
        <translation>Files to sort</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>添加文件</source>
        <translation>Add files</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>添加目录下文件</source>
        <translation>Add from folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>移除文件</source>
        <translation>Remove file</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>移动式分拣(将文件从原目录移动到结果目录)</source>
        <translation>Move the files into the output folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>复制式分拣(将文件复制到结果目录)</source>
        <translation>Copy the files into the output folder</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>自动分拣(&amp;W)…</source>
        <translation>Auto-sort(&amp;W)…</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>只按文件名部分进行分拣，从：</source>
        <translation>Use only part of the name, from character</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>判断文件名时过滤以下字符（多个字符以 * （星号）分隔）：</source>
        <translation>Ignore these characters in names (separate several with * (asterisk)):</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>只分拣与输出文件夹下已存在目录的相匹配的文件项</source>
        <translation>Only sort files that match a folder already in the output folder</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>     按文件类型分拣 </source>
        <translation>     Sort by file type </translation>
    </message>
    <message>
        <location line="+14"/>
        <source>     按文件大小分拣</source>
        <translation>     Sort by file size</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>分拣出满足条件的文件：</source>
        <translation>Sort the files whose size is</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>大于</source>
        <translation>greater than</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>小于</source>
        <translation>less than</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>文件大小</source>
        <translation>File size</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>大小单位</source>
        <translation>Size unit</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>文件创建时间</source>
        <translation>Creation time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件修改时间</source>
        <translation>Modification time</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>日期条件</source>
        <translation>Date condition</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>     按宽或高进行图像文件分拣</source>
        <translation>     Sort pictures by width or height</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>图片宽：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>图片高：</source>
        <translation>Height:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>大于等于</source>
        <translation>at least</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>小于等于</source>
        <translation>at most</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>等于</source>
        <translation>exactly</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>像素</source>
        <translation>pixels</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>图片尺寸条件</source>
        <translation>Picture size condition</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> 按文件名匹配关键字分拣 </source>
        <translation> Keywords in the file name </translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按文件名分拣</source>
        <translation> By file name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按文件类型分拣</source>
        <translation> By file type</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按文件大小分拣</source>
        <translation> By file size</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按文件日期属性分拣</source>
        <translation> By file date</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 图像文件分拣</source>
        <translation> Pictures</translation>
    </message>
    <message>
        <location line="+4"/>
        <source> 拍摄日期</source>
        <translation> Date taken</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>分拣选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+337"/>
        <source>分拣方式：%1</source>
        <translation>Sorting:%1</translation>
    </message>
    <message>
        <location line="-333"/>
        <source>只分拣这些类型文件：</source>
        <translation>Only these types:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不分拣这些类型文件：</source>
        <translation>All but these types:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>文件类型</source>
        <translation>File types</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>图片文件类型包括：</source>
        <translation>Picture types:</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>照片和视频类型包括：</source>
        <translation>Photo and video types:</translation>
    </message>
    <message>
        <location line="+358"/>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>&apos;%1&apos; is not a valid integer value</translation>
    </message>
</context>
<context>
    <name>zanfeld::TForm3</name>
    <message>
        <location filename="../src/ui/dialogs/Unit3.cpp" line="+25"/>
        <source>选择要添加的目录（文件夹）</source>
        <translation>Choose a folder to add</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>文件夹</source>
        <translation>Folders</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>不显示隐藏的文件夹</source>
        <translation>Do not show hidden folders</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>添加包括选定文件夹下的所有子文件夹中的文件</source>
        <translation>Include the files of all its subfolders</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>添加包括选定文件夹下</source>
        <translation>Include the files down to</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>级子目录中所有文件</source>
        <translation>levels of subfolders</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>zanfeld::TForm6</name>
    <message>
        <location filename="../src/ui/windows/Unit6.cpp" line="+50"/>
        <source>要分拣的文件夹（目录）</source>
        <translation>Folders to sort</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>添加文件夹</source>
        <translation>Add folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>添加目录下级目录</source>
        <translation>Add subfolders</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>移除文件夹</source>
        <translation>Remove folder</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>复制式分拣(将文件夹复制到分拣目录)</source>
        <translation>Copy the folders into the output folder</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>只按目录名部分进行分拣，从：</source>
        <translation>Use only part of the folder name, from character</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>判断目录名时过滤以下字符（多个字符以*（星号）分隔）</source>
        <translation>Ignore these characters in folder names (separate several with * (asterisk)):</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>只分拣与输出文件夹下已存在目录的相匹配的目录项</source>
        <translation>Only sort folders that match a folder already in the output folder</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>文件夹创建时间：</source>
        <translation>Folder creation time:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source> 按目录名匹配关键字分拣 </source>
        <translation> Keywords in the folder name </translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按目录名分拣</source>
        <translation> By folder name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 按目录日期属性分拣</source>
        <translation> By folder date</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>请选择文件夹</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>不能对驱动器（磁盘）进行分拣！</source>
        <translation>A whole drive (disk) cannot be sorted!</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>请选择上级目录（文件夹）</source>
        <translation>Choose the parent folder</translation>
    </message>
</context>
<context>
    <name>zanfeld::TakenDatePage</name>
    <message>
        <location filename="../src/ui/windows/TakenDatePage.cpp" line="+25"/>
        <source>按拍摄日期建立文件夹：</source>
        <translation>A folder per:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>年</source>
        <translation>Year</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>年\月</source>
        <translation>Year\Month</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>年-月</source>
        <translation>Year-Month</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>年-月-日</source>
        <translation>Year-Month-Day</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无拍摄时间时使用修改时间</source>
        <translation>Use the modification time when none is recorded</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>无日期的文件不分拣</source>
        <translation>Leave files without a date</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>例：2024-05-06 拍摄的文件放入 %1</source>
        <translation>E.g. a file taken on 2024-05-06 goes to %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>照片或视频记录的拍摄时间</source>
        <translation>the time the photo or video records</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件名中的日期</source>
        <translation>a date in the file name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>修改时间</source>
        <translation>the modification time</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>都没有时留在原处。</source>
        <translation>files with none stay where they are.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>都没有时放入“%1”文件夹。</source>
        <translation>files with none go to the folder “%1”.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>日期依次取自：%1；%2</source>
        <translation>The date comes from, in turn: %1; %2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>、</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>zanfeld::TfrmAbout</name>
    <message>
        <location filename="../src/ui/dialogs/Unit4.cpp" line="+42"/>
        <source>关于 - %1</source>
        <translation>About - %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>关于本程序</source>
        <translation>About this program</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件分拣工具：按关键字、文件名、类型、大小、日期或图片宽高，把文件复制或移动到输出目录下的分类文件夹中；也可按目录名分拣整个文件夹。</source>
        <translation>A file sorter: it copies or moves files into sub-folders of an output folder by keyword, name, type, size, date or picture width and height, and sorts whole folders by their names.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>暂时无法连接到服务器。</source>
        <translation>The server cannot be reached at the moment.</translation>
    </message>
</context>
<context>
    <name>zanfeld::TfrmSuffix</name>
    <message>
        <location filename="../src/ui/dialogs/Unit5.cpp" line="+19"/>
        <source>添加文件类型</source>
        <translation>Add file type</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>输入文件扩展名如:*.txt</source>
        <translation>Enter an extension such as *.txt</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>输入文件扩展名如:*.txt !</source>
        <translation>Enter an extension such as *.txt!</translation>
    </message>
</context>
</TS>
