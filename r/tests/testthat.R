library(testthat)
library(vkx)
test_check("vkx")
