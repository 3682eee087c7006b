// A product that is not installed from here: the portal shows the message
// and opens the address.
[FLAG]
nosetup
[MESSAGE]
奇洛笔记(演示)暂不提供自动安装,请到官网下载。
[URL]
http://{{SETUP}}/soft/quillo.htm
END_QORISOFT_INFO
